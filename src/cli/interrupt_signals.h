#pragma once

#include "platform/cancel_flag.h"

namespace zpak {

// While it lives, an interrupt cancels the run instead of ending the
// process, so that the game's manifest is put back and no temporary file
// stays: SIGINT and SIGTERM on Linux; on Windows Ctrl-C and Ctrl-Break (as
// SIGINT), and the console being closed or the user logging off (as
// SIGTERM). What handled them before comes back afterwards.
class InterruptSignals {
public:
    InterruptSignals();
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    const CancelFlag& Flag() const;
    // The signal that cancelled the run (SIGINT or SIGTERM), or 0.
    int Signal() const;
};

}  // namespace zpak
