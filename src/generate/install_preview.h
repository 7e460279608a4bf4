#pragma once

#include "generate/resolved_run.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

class ProjectDocument;

// One file the installer copies.
struct PreviewFile {
    std::string group;        // empty for the product's own files
    std::string source;       // below the game folder, "/" between folders
    std::string destination;  // below the player's game folder
    std::uintmax_t size = 0;
};

// One INI change as the player's file would see it, in the order they apply.
struct PreviewIniChange {
    std::string file;  // as the project names it, below System
    std::string section;
    std::string key;
    std::optional<std::string> before;  // the value before; none when the key is new
    std::string after;
    bool addsLine = false;  // a new line beside any of the same key
};

// What the installer would do on a player's machine for one choice of groups.
struct InstallPreview {
    std::vector<std::string> groups;  // chosen, in project order
    std::vector<PreviewFile> files;
    std::vector<PreviewIniChange> iniChanges;
    std::vector<std::string> requirements;  // "Vantor 1100 (Corvex Technology)"
    std::vector<std::string> launchers;     // the shortcut and the launch scripts
    std::uintmax_t totalSize = 0;
};

// The groups a player gets without choosing: those required or selected by
// default. Indices into the document's groups.
std::vector<std::size_t> DefaultGroups(const ProjectDocument& document);

// The indices of the named groups (matched ignoring case), with the required
// groups added; the first unknown name when there is one.
struct GroupChoice {
    std::vector<std::size_t> groups;
    std::optional<std::string> unknown;
};
GroupChoice ChooseGroups(const ProjectDocument& document, const std::vector<std::string>& names);

// The install of the run's product with the chosen groups; the INI files are
// read from the game's copies. The run should have no errors.
InstallPreview PreviewInstall(const ProjectDocument& document, const ResolvedRun& run,
                              const std::vector<std::size_t>& groups,
                              const std::filesystem::path& winePrefix);

// For people: one section after another.
std::string PreviewText(const InstallPreview& preview);
// For tools: one JSON object.
std::string PreviewJson(const InstallPreview& preview);

}  // namespace zpak
