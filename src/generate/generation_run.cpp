#include "generate/generation_run.h"

#include "generate/manifest_writer.h"
#include "generate/product_paths.h"
#include "model/project_document.h"
#include "platform/file_ops.h"
#include "platform/message_sink.h"
#include "platform/process.h"

namespace zpak {

namespace {

// The files a package run moves around, resolved once: after the game's
// manifest is moved away its own name (with the case it has on disk) must
// still be known to move it back.
struct PackagePaths {
    explicit PackagePaths(const ProjectDocument& doc)
        : tool(SystemFile(doc, "MKR.exe")), manifest(SystemFile(doc, "Manifest.ini")),
          backup(SystemFile(doc, "zpak_manifest_backup.ini")),
          localized(SystemFile(doc, "Manifest.int")),
          localizedBackup(SystemFile(doc, "zpak_manifest_backup.int"))
    {
    }

    std::filesystem::path tool;
    std::filesystem::path manifest;
    std::filesystem::path backup;
    std::filesystem::path localized;
    std::filesystem::path localizedBackup;
};

// Deletes the files in order; the first failure ends the list silently.
bool DeleteInOrder(std::initializer_list<std::filesystem::path> files)
{
    for (const auto& file : files) {
        if (!DeleteFileAt(file))
            return false;
    }
    return true;
}

// A run that was cut off while the tool ran leaves the game's manifest under
// the backup name; put it back before anything else.
void RecoverInterruptedRun(const PackagePaths& paths, MessageSink& sink)
{
    bool recovered = false;
    if (!PathExists(paths.manifest) && PathExists(paths.backup))
        recovered = MoveFileNoReplace(paths.backup, paths.manifest);
    if (!PathExists(paths.localized) && PathExists(paths.localizedBackup))
        recovered = MoveFileNoReplace(paths.localizedBackup, paths.localized) || recovered;
    if (recovered)
        sink.ShowMessage("The game's manifest was restored from zpak_manifest_backup.ini, which "
                         "an earlier package build left behind when it did not finish.");
}

GenerationOutcome RunZip(ProjectDocument& doc, MessageSink& sink, const GenerationHooks& hooks)
{
    if (!PackZip(doc, sink, hooks.zipProgress))
        return GenerationOutcome::Failed;
    const ProductData& product = *doc.product;
    if (product.cleanup && product.shortcut) {
        const std::string name = TextOf(product.product);
        if (product.linux && !DeleteFileAt(SystemFile(doc, name + ".sh")))
            return GenerationOutcome::Done;
        if (product.mac)
            DeleteFileAt(SystemFile(doc, name + "_mac.sh"));
    }
    return GenerationOutcome::Done;
}

GenerationOutcome RunPackage(ProjectDocument& doc, MessageSink& sink, const GenerationHooks& hooks)
{
    const PackagePaths paths(doc);
    RecoverInterruptedRun(paths, sink);
    if (!WriteManifest(doc, true, sink))
        return GenerationOutcome::Failed;

    const std::string base = ManifestBaseName(doc);
    if (!MoveFileNoReplace(paths.manifest, paths.backup)) {
        sink.ShowMessage("Could not back the default manifest.ini file.");
        return GenerationOutcome::Failed;
    }
    // The game's own Manifest.int goes aside too, or deleting the tool's
    // manifest.int afterwards would delete it.
    const bool localizedAside = PathExists(paths.localized);
    if (localizedAside && !MoveFileNoReplace(paths.localized, paths.localizedBackup)) {
        MoveFileNoReplace(paths.backup, paths.manifest);
        sink.ShowMessage("Could not back the default manifest.ini file.");
        return GenerationOutcome::Failed;
    }

    const ProcessResult tool = RunGameProgram(paths.tool, {"master", base}, hooks.whileToolRuns);
    if (!tool.started)
        sink.ShowMessage("Could not start MKR");

    // Looked up again: the tool may leave files of its own, in any letter case.
    DeleteFileAt(SystemFile(doc, "Manifest.ini"));
    if (!MoveFileNoReplace(paths.backup, paths.manifest)) {
        sink.ShowMessage("Could not restore manifest.ini (restore). You must manually rename "
                         "zpak_manifest_backup.ini to manifest.ini.");
        return GenerationOutcome::Failed;
    }
    if (DeleteFileAt(SystemFile(doc, "manifest.int")))
        DeleteFileAt(paths.backup);
    if (localizedAside && !MoveFileNoReplace(paths.localizedBackup, paths.localized)) {
        sink.ShowMessage("Could not restore manifest.int (restore). You must manually rename "
                         "zpak_manifest_backup.int to manifest.int.");
        return GenerationOutcome::Failed;
    }

    const ProductData& product = *doc.product;
    if (product.cleanup) {
        const bool deleted = DeleteInOrder({SystemFile(doc, base + ".ini"), SystemFile(doc, base + ".int")});
        if (deleted && product.shortcut && product.linux)
            DeleteFileAt(SystemFile(doc, TextOf(product.product) + ".sh"));
    }
    return tool.started && tool.exitCode == 0 ? GenerationOutcome::Done
                                              : GenerationOutcome::ToolFailed;
}

}  // namespace

GenerationOutcome RunGeneration(ProjectDocument& document, GenerationChoice choice,
                                MessageSink& sink, const GenerationHooks& hooks)
{
    if (!CheckProductName(document, sink))
        return GenerationOutcome::Failed;
    switch (choice) {
    case GenerationChoice::Zip:
        return RunZip(document, sink, hooks);
    case GenerationChoice::ManifestOnly:
        return WriteManifest(document, false, sink) ? GenerationOutcome::Done
                                                    : GenerationOutcome::Failed;
    case GenerationChoice::Package:
        return RunPackage(document, sink, hooks);
    }
    return GenerationOutcome::Failed;
}

}  // namespace zpak
