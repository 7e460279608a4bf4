#include "generate/generation_run.h"

#include "platform/message_sink.h"
#include "platform/wine_prefix.h"

namespace zpak {

namespace {

GenerationOutcome Run(ProjectDocument& document, GenerationChoice choice, bool quiet, MessageSink& sink,
                      const GenerationHooks& hooks)
{
    KeepArchiveName(document, choice);
    ResolvedRun run = ResolveGeneration(document, choice, DefaultWinePrefix());
    run.quiet = quiet;
    if (ReportResolutionError(run, sink))
        return GenerationOutcome::Failed;
    return ExecuteGeneration(run, sink, hooks);
}

}  // namespace

GenerationOutcome RunGeneration(ProjectDocument& document, GenerationChoice choice, MessageSink& sink,
                                const GenerationHooks& hooks)
{
    return Run(document, choice, false, sink, hooks);
}

bool WriteManifest(ProjectDocument& document, bool quiet, MessageSink& sink)
{
    return Run(document, GenerationChoice::ManifestOnly, quiet, sink, {}) == GenerationOutcome::Done;
}

bool PackZip(ProjectDocument& document, MessageSink& sink, const ZipProgressCallback& progress)
{
    GenerationHooks hooks;
    hooks.zipProgress = progress;
    hooks.skipCleanup = true;
    return RunGeneration(document, GenerationChoice::Zip, sink, hooks) == GenerationOutcome::Done;
}

bool CheckProductFiles(const ProjectDocument& document, MessageSink& sink)
{
    const ResolvedRun run = ResolveProductFiles(document, DefaultWinePrefix());
    if (const Problem* error = run.FirstError()) {
        sink.ShowMessage(error->text);
        return false;
    }
    return true;
}

}  // namespace zpak
