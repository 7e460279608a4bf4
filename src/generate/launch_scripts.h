#pragma once

#include <string>

namespace zpak {

class ProjectDocument;

// The script text: "#!/bin/sh", an empty line, then the game executable in
// lower case, `separator` and the play-shortcut parameters, with no final line
// break. Lines end with LF: a CR would break the "#!" line on Linux and Mac.
std::string LaunchScriptText(const ProjectDocument& document, const std::string& separator);

// The two scripts, System\<product>.sh and System\<product>_mac.sh: their
// file names and texts.
struct LaunchScript {
    std::string fileName;
    std::string text;
};
LaunchScript LinuxScript(const ProjectDocument& document);
LaunchScript MacScript(const ProjectDocument& document);

}  // namespace zpak
