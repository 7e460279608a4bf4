#pragma once

#include <string>
#include <string_view>

namespace zpak {

// ASCII case folding, as the Windows file system and the profile functions
// compare names of this system's single-byte texts.
inline char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The text with ASCII letters in lower case: a key for lookups that ignore case.
std::string FoldedText(std::string_view text);

}  // namespace zpak
