#pragma once

#include "generate/run_executor.h"
#include "generate/run_resolver.h"

namespace zpak {

class MessageSink;
class ProjectDocument;

// Each of these keeps the product's archive name, resolves through the
// default Wine prefix, shows the first error if there is one, and executes.

// A run of any choice.
GenerationOutcome RunGeneration(ProjectDocument& document, GenerationChoice choice, MessageSink& sink,
                                const GenerationHooks& hooks = {});

// The manifest choice: checks the product, then writes System\<base>.ini,
// System\<base>.int and the launch scripts they name. Unless `quiet`, a
// success message names the pair.
bool WriteManifest(ProjectDocument& document, bool quiet, MessageSink& sink);

// The zip choice without its cleanup: checks the product, packs it into
// <game folder>\<base>.zip and reports the outcome.
bool PackZip(ProjectDocument& document, MessageSink& sink, const ZipProgressCallback& progress = {});

// The file check alone: true when every file entry, wildcard and the logo
// exist under the game folder (and none lies outside it); otherwise shows the
// first problem.
bool CheckProductFiles(const ProjectDocument& document, MessageSink& sink);

}  // namespace zpak
