#include "cli/interrupt_signals.h"

#include <atomic>
#include <csignal>

#include <windows.h>

namespace zpak {

namespace {

CancelFlag gCancel;
std::atomic<int> gSignal{0};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        gSignal.store(SIGINT);
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        gSignal.store(SIGTERM);
        break;
    default:
        return FALSE;
    }
    gCancel.Set();
    // Handled: the process goes on and cancels in order. (After a close the
    // system ends it a few seconds later whatever we do.)
    return TRUE;
}

}  // namespace

InterruptSignals::InterruptSignals()
{
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

InterruptSignals::~InterruptSignals()
{
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
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
