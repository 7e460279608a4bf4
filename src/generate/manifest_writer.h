#pragma once

#include <string>

namespace zpak {

class INIDefinition;
class INIGroup;
class MessageSink;
class ProjectDocument;

// True when every file entry, wildcard and the logo exist under the game
// folder (and none lies outside it); otherwise shows the first problem.
bool CheckProductFiles(const ProjectDocument& document, MessageSink& sink);

// Appends one INI change line, e.g. "Ini=System\Player.ini,Game.Keys.F7=open FR-Canyon".
void WriteIniChangeLine(std::string& out, const INIGroup& iniFile, const INIDefinition& entry);

// The manifest pair's texts, with CR LF line ends. Stores the product's
// default archive name, as the manifest names it.
struct ManifestTexts {
    std::string ini;
    std::string localized;
};
ManifestTexts BuildManifest(ProjectDocument& document);

// Checks the product, then writes System\<base>.ini, System\<base>.int and
// the launch scripts they name. Unless `quiet`, a success message names the pair.
bool WriteManifest(ProjectDocument& document, bool quiet, MessageSink& sink);

}  // namespace zpak
