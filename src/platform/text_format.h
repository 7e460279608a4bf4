#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zpak {

// Fills a message pattern: each "%s" or "%d" takes the next argument, in order.
// Arguments are inserted as they are, so user text holding '%' is safe.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

inline char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// "340 of 512 KB", "12.4 of 201.0 MB": an amount done of a total, in the
// unit that fits the total.
std::string SizeProgressText(std::uint64_t done, std::uint64_t total);

// ASCII case folding, as the Windows file system and the profile functions
// compare names of this system's single-byte texts.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The text with ASCII letters in lower case: a key for lookups that ignore case.
std::string FoldedText(std::string_view text);

}  // namespace zpak
