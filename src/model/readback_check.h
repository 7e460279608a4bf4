#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zpak {

class INIDefinition;
class ProjectDocument;

// A text that the project file cannot carry: opening the saved file would
// fail or give back something else.
struct UnreadableText {
    std::string place;   // where the text is, for the author to find it
    std::string reason;  // what the reader will make of it
};

// Checks each written line of the document as the reader will take it back.
// Call it after the project was written, so that derived values are stored.
std::vector<UnreadableText> FindUnreadableTexts(const ProjectDocument& document);

// Why a text cannot be the value of a line of the project file (it holds a
// line break, or ends with a carriage return), or null.
const char* LineBreakProblem(std::string_view text);

// Why an entry name cannot be a bare line of the project file, or null.
const char* EntryNameProblem(std::string_view name);

// Why a change's line of the project file reads back as something else, or null.
const char* ChangeLineProblem(const INIDefinition& change);

// One message listing the texts, for the author to fix while still in memory.
std::string DescribeUnreadableTexts(const std::vector<UnreadableText>& texts);

}  // namespace zpak
