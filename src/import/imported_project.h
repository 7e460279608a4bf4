#pragma once

#include <filesystem>
#include <string>

namespace zpak {

class ProjectDocument;

// What an import made, in a few words: "2 groups, 6 file entries, 4 INI
// changes, 1 requirement".
std::string DescribeImport(const ProjectDocument& document);

// The file name a project imported from `manifest` is saved under unless the
// user names another: after its product, else after the manifest.
std::string ImportedProjectName(const ProjectDocument& document, const std::filesystem::path& manifest);

}  // namespace zpak
