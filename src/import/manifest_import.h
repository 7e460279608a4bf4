#pragma once

#include "generate/project_check.h"
#include "model/project_document.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

// A file of the manifest pair, or a launch script it names.
struct ManifestSource {
    std::string name;  // as diagnostics name it
    std::string text;  // its bytes
};

// What an import reads: the manifest, its localized companion when there is
// one, and the launch scripts of the game's System folder.
struct ManifestPair {
    std::string gameFolder;  // the imported project's game folder
    std::string baseName;    // the manifest's file name without ".ini": <product>MOD
    ManifestSource manifest;
    std::optional<ManifestSource> localized;
    // A file of the game's System folder by name, letter case ignored; nothing
    // when there is none. Asked only for the launch scripts the manifest names.
    std::function<std::optional<ManifestSource>(const std::string& name)> systemFile;
};

// A project made from a manifest pair, and what it could not take over. Each
// diagnostic names its file (`file`), line and code; its record is the one of
// `document` it concerns, so that a window can lead to it.
struct ImportResult {
    bool imported = false;  // false after an error: `document` is empty
    ProjectDocument document;
    std::vector<Diagnostic> diagnostics;
};

// Rebuilds the project that the pair was generated from: generating from it
// writes the same pair again, byte for byte. What the pair holds that the
// project cannot is told, line by line; where the pair says nothing, the
// project takes the wizard's defaults and a note says so.
ImportResult ImportManifestPair(const ManifestPair& pair);

// Reads <game folder>\System\<base>.ini, the .int of the same base name
// beside it (any letter case) and the launch scripts it names, and imports
// them. The game folder is the folder above the manifest's, made absolute.
ImportResult ImportManifest(const std::filesystem::path& manifest);

}  // namespace zpak
