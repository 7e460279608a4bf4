#include "generate/problem_codes.h"
#include "import/manifest_import.h"
#include "platform/folder_index.h"
#include "platform/readable_file.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"

#include <cerrno>
#include <cstring>

namespace zpak {

namespace fs = std::filesystem;

namespace {

// The entry of the listing named `name`: exactly, else ignoring letter case.
const FolderEntry* Named(const FolderListing& folder, std::string_view name)
{
    const FolderEntry* entry = folder.Exact(name);
    return entry ? entry : folder.IgnoringCase(name);
}

std::optional<ManifestSource> ReadSource(const FolderListing& folder, std::string_view name)
{
    const FolderEntry* entry = Named(folder, name);
    ManifestSource source;
    if (!entry || !ReadWholeFile(folder.path / PathFromText(entry->name), source.text))
        return std::nullopt;
    source.name = TextFromPath(folder.path / PathFromText(entry->name));
    return source;
}

}  // namespace

ImportResult ImportManifest(const fs::path& manifest)
{
    ManifestPair pair;
    pair.manifest.name = TextFromPath(manifest);
    if (!ReadWholeFile(manifest, pair.manifest.text)) {
        ImportResult failed;
        failed.diagnostics.push_back({Severity::Error,
                                      codes::kUnreadableManifest,
                                      0,
                                      ProjectPage::Generate,
                                      {},
                                      "cannot open " + pair.manifest.name + ": " + std::strerror(errno),
                                      pair.manifest.name});
        return failed;
    }
    // The folders as named, so that diagnostics name the files as the user did.
    const fs::path systemFolder = manifest.parent_path();
    const fs::path absolute = fs::absolute(manifest).lexically_normal();
    pair.gameFolder = TextFromPath(absolute.parent_path().parent_path());
    pair.baseName = TextFromPath(manifest.stem());

    const std::unique_ptr<FolderListing> folder = FolderListing::Read(systemFolder);
    pair.localized = ReadSource(*folder, pair.baseName + ".int");
    pair.systemFile = [&folder](const std::string& name) { return ReadSource(*folder, name); };
    ImportResult result = ImportManifestPair(pair);

    if (result.imported && !EqualsIgnoringCase(TextFromPath(absolute.parent_path().filename()), "System")) {
        Diagnostic diagnostic;
        diagnostic.severity = Severity::Warning;
        diagnostic.code = codes::kValueNotKept;
        diagnostic.page = ProjectPage::GameFolder;
        diagnostic.record = RecordRef::GameFolder();
        diagnostic.file = pair.manifest.name;
        diagnostic.text = "The manifest is not in a folder named System; the game folder is taken to be "
            + pair.gameFolder + ", the folder above it, where generating writes System\\" + pair.baseName
            + ".ini.";
        result.diagnostics.insert(result.diagnostics.begin(), std::move(diagnostic));
    }
    return result;
}

}  // namespace zpak
