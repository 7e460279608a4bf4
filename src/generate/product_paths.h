#pragma once

#include <filesystem>
#include <string>

namespace zpak {

class MessageSink;
class ProjectDocument;

// The product name followed by "MOD": the name of the manifest pair, the
// packaging tool's argument and the zip archive. Empty without a product name.
std::string ManifestBaseName(const ProjectDocument& document);

// Refuses a product that is missing or whose name cannot name a file inside
// System (empty, "." or "..", or holding "\", "/" or ":"), with a message.
bool CheckProductName(const ProjectDocument& document, MessageSink& sink);

// gameFolder\System\<name>, as a native path.
std::filesystem::path SystemFile(const ProjectDocument& document, const std::string& name);

// gameFolder\<relative>, as a native path.
std::filesystem::path GameFile(const ProjectDocument& document, const std::string& relative);

// The name of the game's executable: the last real component of the game
// folder, after the last "\" or, when there is none, after the last "/".
std::string GameExecutableName(const std::string& gameFolder);

}  // namespace zpak
