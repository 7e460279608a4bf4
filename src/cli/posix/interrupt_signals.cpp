#include "cli/interrupt_signals.h"

#include <atomic>
#include <csignal>

namespace zpak {

namespace {

CancelFlag gCancel;
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction gPreviousInt {};
struct sigaction gPreviousTerm {};

extern "C" void OnInterrupt(int signal)
{
    gSignal.store(signal);
    gCancel.Set();
}

}  // namespace

InterruptSignals::InterruptSignals()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &gPreviousInt);
    ::sigaction(SIGTERM, &action, &gPreviousTerm);
}

InterruptSignals::~InterruptSignals()
{
    ::sigaction(SIGINT, &gPreviousInt, nullptr);
    ::sigaction(SIGTERM, &gPreviousTerm, nullptr);
}

const CancelFlag& InterruptSignals::Flag() const
{
    return gCancel;
}

int InterruptSignals::Signal() const
{
    return gSignal.load();
}

}  // namespace zpak
