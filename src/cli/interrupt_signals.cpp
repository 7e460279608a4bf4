#include "cli/interrupt_signals.h"

#include <atomic>

namespace zpak {

namespace {

CancelFlag gCancel;
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

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
    ::sigaction(SIGINT, &action, &previousInt_);
    ::sigaction(SIGTERM, &action, &previousTerm_);
}

InterruptSignals::~InterruptSignals()
{
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
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
