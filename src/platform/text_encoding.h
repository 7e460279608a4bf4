#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

// Texts of the project are bytes: UTF-8 where they are valid UTF-8, otherwise
// the bytes of the system's ANSI code page, as projects made on Windows by
// older versions hold them. File names are UTF-16 on Windows and bytes on
// Linux. These functions are where the two meet; paths are never built from
// texts, nor texts from paths, any other way.

bool IsValidUtf8(std::string_view text);

// The text in UTF-8: itself when it is valid UTF-8, otherwise read in the
// ANSI code page (on Linux the one Wine picks for the locale: LC_ALL,
// LC_CTYPE, LANG).
std::string Utf8FromText(std::string_view text);

// The number of the ANSI code page that non-UTF-8 texts are read in.
unsigned AnsiCodePage();

// A text as a path: on Windows its characters in UTF-16; on Linux its bytes.
std::filesystem::path PathFromText(std::string_view text);

// A path as text: UTF-8 on Windows; on Linux its bytes.
std::string TextFromPath(const std::filesystem::path& path);

#ifdef _WIN32
// For the calls of the Windows API: a text in UTF-16, and back in UTF-8.
std::wstring WideFromText(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
#endif

}  // namespace zpak
