#pragma once

#include <filesystem>
#include <string>

namespace zpak {

class MessageSink;
class ProjectDocument;

// The script text: "#!/bin/sh", an empty line, then the game executable in
// lower case, `separator` and the play-shortcut parameters, with no final line
// break. Lines end with LF: a CR would break the "#!" line on Linux and Mac.
std::string LaunchScriptText(const ProjectDocument& document, const std::string& separator);

// Write System\<product>.sh and System\<product>_mac.sh with their run bit.
// `path` receives the script's path also when it cannot be created; that case
// is reported and gives false.
bool WriteLinuxScript(const ProjectDocument& document, std::filesystem::path& path,
                      MessageSink& sink);
bool WriteMacScript(const ProjectDocument& document, std::filesystem::path& path,
                    MessageSink& sink);

}  // namespace zpak
