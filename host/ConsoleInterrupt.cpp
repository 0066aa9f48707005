#include "host/ConsoleInterrupt.h"

#include <windows.h>

#include <atomic>

namespace vlscan {

namespace {

std::atomic<bool> requested{false};

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        requested = true;
        return TRUE;
    }
    return FALSE;
}

} // namespace

void CatchInterrupts()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool InterruptRequested()
{
    return requested;
}

} // namespace vlscan
