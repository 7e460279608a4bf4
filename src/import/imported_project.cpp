#include "import/imported_project.h"

#include "generate/product_paths.h"
#include "model/project_document.h"
#include "platform/text_encoding.h"

namespace zpak {

namespace {

std::string Counted(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string DescribeImport(const ProjectDocument& document)
{
    std::size_t entries = 0;
    for (const auto& group : document.groups)
        entries += group->files.size();
    std::size_t changes = 0;
    for (const auto& file : document.iniFiles)
        changes += file->entries.size();
    return Counted(document.groups.size(), "group", "groups") + ", "
        + Counted(entries, "file entry", "file entries") + ", "
        + Counted(changes, "INI change", "INI changes") + ", "
        + Counted(document.requirements.size(), "requirement", "requirements");
}

std::string ImportedProjectName(const ProjectDocument& document, const std::filesystem::path& manifest)
{
    if (!ProductNameProblem(document))
        return *document.product->product + ".zproj";
    return TextFromPath(manifest.stem()) + ".zproj";
}

}  // namespace zpak
