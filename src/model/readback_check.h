#pragma once

#include <string>
#include <vector>

namespace zpak {

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

// One message listing the texts, for the author to fix while still in memory.
std::string DescribeUnreadableTexts(const std::vector<UnreadableText>& texts);

}  // namespace zpak
