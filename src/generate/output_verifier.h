#pragma once

#include "generate/resolved_run.h"

#include <vector>

namespace zpak {

// What a check of the outputs found.
struct OutputCheck {
    std::vector<Problem> problems;  // each difference, as an error
    std::size_t outputs = 0;        // the files looked at
};

// Checks, without writing anything, that the outputs of a run that resolved
// without errors are what executing it would make now: the manifest pair and
// the launch scripts byte for byte (those the run's cleanup deletes are not
// looked for); the package exists, and matches its .sha256 file when it has
// one; the zip holds each entry in order, with the bytes, CRC and size of its
// file, and nothing more, and reads to its end. Zip entries are unpacked on
// `threads` threads.
OutputCheck VerifyOutputs(const ResolvedRun& run, unsigned threads);

}  // namespace zpak
