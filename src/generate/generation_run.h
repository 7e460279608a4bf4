#pragma once

#include "generate/resolved_run.h"

#include <functional>
#include <string_view>

namespace zpak {

class CancelFlag;
class MessageSink;
class ProjectDocument;

enum class GenerationOutcome {
    Done,        // what was asked for was made (a failed cleanup deletion is silent)
    Failed,      // a message said why
    ToolFailed,  // the packaging tool could not start or exited with a non-zero code
    Cancelled,   // stopped on request; the game folder is as it was
};

// What the window (or the command line) lends a run. Every callback runs on
// the thread that executes the run.
struct GenerationHooks {
    ZipProgressCallback zipProgress;
    // The threads that compress a zip; the archive is the same whatever their number.
    unsigned zipThreads = DefaultZipThreads();
    // The packaging tool's standard output and error, as they come.
    std::function<void(std::string_view)> toolOutput;
    // Set to stop the run: the tool is ended, the game's manifest put back,
    // this run's temporary files removed.
    const CancelFlag* cancel = nullptr;
    // The zip choice without the cleanup of the Generate page.
    bool skipCleanup = false;
};

// Works out the whole run; reads the project and the file system only (the
// product's default archive name is stored, as the manifest names it). A
// drive-letter game folder is looked for in the Wine prefix. `archive`, when
// given, is where the zip choice writes instead of the game folder.
ResolvedRun ResolveGeneration(ProjectDocument& document, GenerationChoice choice,
                              const std::filesystem::path& winePrefix,
                              const std::filesystem::path& archive = {});

// Shows the run's first error, with the run's warnings, and gives true;
// false when it has none.
bool ReportResolutionError(const ResolvedRun& run, MessageSink& sink);

// Carries out a run that resolved without errors, under an exclusive lock on
// the game folder; a second run on the same folder is refused at once.
// Reports through `sink`; warnings of the resolution end the last message.
GenerationOutcome ExecuteGeneration(const ResolvedRun& run, MessageSink& sink,
                                    const GenerationHooks& hooks = {});

// Resolves (through the default Wine prefix), reports the first error if
// there is one, and executes.
GenerationOutcome RunGeneration(ProjectDocument& document, GenerationChoice choice, MessageSink& sink,
                                const GenerationHooks& hooks = {});

// The lines that a run's warnings add to its last message.
std::string WarningLines(const std::vector<std::string>& warnings);

}  // namespace zpak
