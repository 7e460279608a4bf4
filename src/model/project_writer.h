#pragma once

#include <filesystem>
#include <string>

namespace zpak {

class MessageSink;
class ProjectDocument;

// The text of the project file. Writing the product through its getters may
// store its default archive name.
std::string SerializeProject(ProjectDocument& document);

// Writes the project file so that the old file stays whole until the new one
// is complete. A failure is reported through `sink` naming the file, and gives
// false. After a successful write, texts that the file cannot carry are listed
// in one message.
bool SaveProject(ProjectDocument& document, const std::filesystem::path& file, MessageSink& sink);

}  // namespace zpak
