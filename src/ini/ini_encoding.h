#pragma once

#include <string>
#include <string_view>

namespace zpak::ini {

// How the bytes of an INI file hold its text. The Windows profile functions
// write single bytes, or UTF-16 with a byte-order mark when the file began
// so; editors add a byte-order mark to UTF-8 files.
enum class IniEncoding { Bytes, Utf8WithBom, Utf16LE, Utf16BE };

// The encoding a file's first bytes announce.
IniEncoding DetectIniEncoding(std::string_view bytes);

// What becomes of a UTF-16 code unit that pairs with none, which Windows
// allows in a file.
enum class LoneSurrogate {
    Keep,     // the three bytes it would have in UTF-8, so that writing back restores it
    Replace,  // U+FFFD, for a text that must be valid UTF-8
};

// The file's text as the rest of the program holds texts: single-byte files
// as they are, the others in UTF-8 without their byte-order mark. A last odd
// byte of a UTF-16 file is no code unit and is dropped, as Windows reads it.
std::string DecodeIniText(std::string_view bytes, IniEncoding encoding,
                          LoneSurrogate lone = LoneSurrogate::Keep);

// The inverse: the text in the encoding, with its byte-order mark.
std::string EncodeIniText(std::string_view text, IniEncoding encoding);

}  // namespace zpak::ini
