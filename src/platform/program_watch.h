#pragma once

#include "platform/process.h"

#include <chrono>

namespace zpak {

// A started program as each system watches it; WatchProgram does the rest.
class RunningProgram {
public:
    enum class State { Running, Ended, Lost };

    virtual ~RunningProgram() = default;

    // Waits at most `tick` for the program to end, passing on what it
    // writes meanwhile. Lost: it can no longer be waited for.
    virtual State Wait(std::chrono::milliseconds tick) = 0;
    // Passes on what the program has written and not yet passed on, without
    // waiting for more.
    virtual void PassOnRest() = 0;
    // Once it has ended: its exit status, -1 when there is none.
    virtual int ExitCode() const = 0;
    // Asks the program and whatever it started to end, then makes them.
    virtual void AskToEnd() = 0;
    virtual void ForceToEnd() = 0;
};

// Waits for the program without a time limit: passes its output on, calls
// `options.whileWaiting` about ten times a second, and when `options.cancel`
// is set asks the program to end, forcing it 5 seconds later.
ProcessResult WatchProgram(RunningProgram& program, const ProcessOptions& options);

}  // namespace zpak
