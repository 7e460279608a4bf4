#pragma once

#include "platform/cancel_flag.h"

#include <csignal>

namespace zpak {

// While it lives, SIGINT and SIGTERM cancel the run instead of killing the
// process, so that the game's manifest is put back and no temporary file
// stays. The previous handlers come back afterwards.
class InterruptSignals {
public:
    InterruptSignals();
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    const CancelFlag& Flag() const;
    // The signal that cancelled the run, or 0.
    int Signal() const;

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

}  // namespace zpak
