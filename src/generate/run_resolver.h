#pragma once

#include "generate/resolved_run.h"

#include <filesystem>
#include <vector>

namespace zpak {

class ProjectDocument;

// Works out the whole run; reads the project and the file system only. A
// drive-letter game folder is looked for in the Wine prefix. `archive`, when
// given, is where the zip choice writes instead of the game folder.
ResolvedRun ResolveGeneration(const ProjectDocument& document, GenerationChoice choice,
                              const std::filesystem::path& winePrefix,
                              const std::filesystem::path& archive = {});

// The file check alone: the game folder, then every file entry, wildcard and
// the logo, in the project's order. The run holds what they found; nothing
// is planned.
ResolvedRun ResolveProductFiles(const ProjectDocument& document, const std::filesystem::path& winePrefix);

// What the zip holds of the run's inputs, one entry for each place.
std::vector<PackEntry> PackEntries(const std::vector<ResolvedInput>& inputs);

// A run that writes the manifest names the product's archive there, and from
// then on the product keeps that name (as when the project is saved). Called
// before resolving a run of `choice` on a project that may be saved later;
// the resolution itself changes nothing.
void KeepArchiveName(ProjectDocument& document, GenerationChoice choice);

}  // namespace zpak
