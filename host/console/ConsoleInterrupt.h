// Ctrl+C, Ctrl+Break and the console's close, logoff and shutdown events
// during a scan: noted, so the job can be aborted between two plug-in calls
// instead of the process dying inside one.
#pragma once

#include <windows.h>

namespace vlscan {

// Catches the events while it lives. Windows ends the process as soon as the
// handler of a close, logoff or shutdown event returns, so that handler
// waits until this scope ends: by then the job is aborted.
class InterruptScope {
public:
    InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
    ~InterruptScope();
};

bool InterruptRequested();

// Signalled once an interrupt arrived, for waits that must end on one.
HANDLE InterruptEvent();

// The routine the scope registers; a test may call it as the console would.
BOOL WINAPI OnConsoleEvent(DWORD event);

} // namespace vlscan
