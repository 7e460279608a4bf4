#pragma once

#include <string>

namespace zpak {

class INIDefinition;
class INIGroup;
class ProjectDocument;

// Appends one INI change line, e.g. "Ini=System\Player.ini,Game.Keys.F7=open FR-Canyon".
void WriteIniChangeLine(std::string& out, const INIGroup& iniFile, const INIDefinition& entry);

// The manifest pair's texts, with CR LF line ends.
struct ManifestTexts {
    std::string ini;
    std::string localized;
};
ManifestTexts BuildManifest(const ProjectDocument& document);

}  // namespace zpak
