#include "host/console/ConsoleInterrupt.h"

#include <atomic>

namespace vlscan {

namespace {

// The console calls the handler on a thread of its own, with no way to pass
// it state: these are the process's one set.
std::atomic<bool> requested{false};
HANDLE interrupted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
HANDLE settled = CreateEventA(nullptr, TRUE, FALSE, nullptr);

} // namespace

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        requested = true;
        SetEvent(interrupted);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        requested = true;
        SetEvent(interrupted);
        WaitForSingleObject(settled, INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

InterruptScope::InterruptScope()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

InterruptScope::~InterruptScope()
{
    SetEvent(settled);
}

bool InterruptRequested()
{
    return requested;
}

HANDLE InterruptEvent()
{
    return interrupted;
}

} // namespace vlscan
