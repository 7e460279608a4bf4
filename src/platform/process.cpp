#include "platform/cancel_flag.h"
#include "platform/program_watch.h"

namespace zpak {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr auto kGraceBeforeForce = std::chrono::seconds(5);

}  // namespace

ProcessResult WatchProgram(RunningProgram& program, const ProcessOptions& options)
{
    ProcessResult result;
    result.started = true;
    Clock::time_point asked;
    bool forced = false;
    for (;;) {
        const RunningProgram::State state = program.Wait(kTick);
        if (state == RunningProgram::State::Lost)
            return result;
        if (state == RunningProgram::State::Ended)
            break;
        if (options.cancel && options.cancel->IsSet()) {
            const auto now = Clock::now();
            if (!result.cancelled) {
                result.cancelled = true;
                asked = now;
                program.AskToEnd();
            } else if (!forced && now - asked >= kGraceBeforeForce) {
                forced = true;
                program.ForceToEnd();
            }
        }
        if (options.whileWaiting)
            options.whileWaiting();
    }
    // What the program wrote last; the pipe may stay open in a helper it
    // left running (Wine's server), so nothing waits for its end.
    program.PassOnRest();
    result.exitCode = program.ExitCode();
    return result;
}

}  // namespace zpak
