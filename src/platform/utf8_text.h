#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zpak {

// The length of the valid UTF-8 sequence that starts at `i`; 0 when the byte
// there does not start one (a stray byte, an overlong form, a surrogate).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// `text` as a JSON string, quotes included. A byte that is not part of valid
// UTF-8 becomes the code point U+DC80–U+DCFF that the window shows it as.
std::string JsonString(std::string_view text);

}  // namespace zpak
