#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reading and rewriting the text of INI files, as the Windows profile
// functions read and write them.
namespace zpak::ini {

// One line of an INI file, classified.
struct IniLine {
    enum class Kind { Blank, Comment, Section, Entry };
    Kind kind = Kind::Blank;
    std::string_view name;   // section name, or key of an entry (empty for a line without "=")
    std::string_view value;  // value of an entry
    std::size_t begin = 0;   // where the line starts in the text
    std::size_t end = 0;     // where it ends, before its line end
    std::size_t next = 0;    // where the next line starts
};

// Splits the text into lines: LF, CR and CR LF each end a line.
std::vector<IniLine> ParseIniText(std::string_view text);

// The line end the text uses first; CR LF for a text without one.
std::string_view LineEndOf(std::string_view text);

struct SectionUpdate {
    std::string_view name;
    std::vector<std::string> lines;  // the section's new entry lines
};

// The text with each section's entry lines replaced: the first section of
// each name receives them in place of its old entry lines, a missing section
// is appended; every other line stays as it was.
std::string RewriteSections(std::string_view text, const std::vector<SectionUpdate>& updates);

}  // namespace zpak::ini
