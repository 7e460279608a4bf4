#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zpak {

// The length of the valid UTF-8 sequence that starts at `i`; 0 when the byte
// there does not start one (a stray byte, an overlong form, a surrogate).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// `text` as a JSON string, quotes included, that any strict parser reads:
// each byte that is not part of valid UTF-8 becomes U+FFFD.
std::string JsonString(std::string_view text);

// The bytes of a text that is not valid UTF-8 in hexadecimal; nothing for
// valid UTF-8.
std::optional<std::string> HexOfInvalidUtf8(std::string_view text);

// `"name":` and JsonString(text); when the text is not valid UTF-8, also
// `"nameHex":` and its bytes in hexadecimal, so that nothing of it is lost.
std::string JsonField(std::string_view name, std::string_view text);

}  // namespace zpak
