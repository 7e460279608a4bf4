#pragma once

#include "generate/zip_packer.h"

#include <functional>

namespace zpak {

class MessageSink;
class ProjectDocument;

// The three outputs of the Generate page.
enum class GenerationChoice { Package, ManifestOnly, Zip };

enum class GenerationOutcome {
    Done,        // what was asked for was made (a failed cleanup deletion is silent)
    Failed,      // a message said why
    ToolFailed,  // the packaging tool could not start or exited with a non-zero code
};

// What the window (or the command line) lends a run: progress of the zip, and
// a call made about ten times a second while the packaging tool runs.
struct GenerationHooks {
    ZipProgressCallback zipProgress;
    std::function<void()> whileToolRuns;
};

// Runs the chosen generation on the product. The product's `cleanup` flag
// decides whether intermediate files are deleted afterwards.
GenerationOutcome RunGeneration(ProjectDocument& document, GenerationChoice choice,
                                MessageSink& sink, const GenerationHooks& hooks = {});

}  // namespace zpak
