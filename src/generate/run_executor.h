#pragma once

#include "generate/resolved_run.h"
#include "generate/zip_packer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

class CancelFlag;
class MessageSink;

enum class GenerationOutcome {
    Done,        // what was asked for was made
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
    // Beside the zip, or the package the tool built, its SHA-256 in a file
    // named after it with ".sha256" added, as sha256sum -c reads it.
    bool checksumFile = false;
};

// Shows the run's first error, with the run's warnings, and gives true;
// false when it has none.
bool ReportResolutionError(const ResolvedRun& run, MessageSink& sink);

// Carries out a run that resolved without errors, under an exclusive lock on
// the game folder; a second run on the same folder is refused at once.
// Reports through `sink`; warnings of the resolution end the last message.
GenerationOutcome ExecuteGeneration(const ResolvedRun& run, MessageSink& sink,
                                    const GenerationHooks& hooks = {});

// The lines that a run's warnings add to its last message.
std::string WarningLines(const std::vector<std::string>& warnings);

}  // namespace zpak
