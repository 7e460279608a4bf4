#pragma once

#include <string>

namespace zpak {

class INIDefinition;
class INIGroup;
class MessageSink;
class ProjectDocument;

// True when every file entry, wildcard and the logo exist under the game
// folder; otherwise shows which one is missing.
bool CheckProductFiles(const ProjectDocument& document, MessageSink& sink);

// Appends one INI change line, e.g. "Ini=System\Player.ini,Game.Keys.F7=open FR-Canyon".
void WriteIniChangeLine(std::string& out, const INIGroup& iniFile, const INIDefinition& entry);

// The manifest pair's texts, with CR LF line ends. Writes the launch scripts
// on the way, as the manifest names them, and may store the product's
// default archive name.
struct ManifestTexts {
    std::string ini;
    std::string localized;
};
ManifestTexts BuildManifest(ProjectDocument& document, MessageSink& sink);

// Checks the files, then writes System\<base>.ini and System\<base>.int.
// Unless `quiet`, a success message names both.
bool WriteManifest(ProjectDocument& document, bool quiet, MessageSink& sink);

}  // namespace zpak
