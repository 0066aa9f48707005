#include "win32/ProcessIdentity.h"

#include "win32/SystemCalls.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

namespace vlexif {

namespace {

// False when the times cannot be read.
[[nodiscard]] bool StartTime(HANDLE process, uint64_t& started)
{
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel = {};
    FILETIME user = {};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return false;
    }
    started = (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return true;
}

} // namespace

ProcessIdentity CurrentProcessIdentity()
{
    ProcessIdentity identity{GetCurrentProcessId(), 0};
    static_cast<void>(StartTime(GetCurrentProcess(), identity.started)); // the own process's times are there
    return identity;
}

bool IsRunning(const ProcessIdentity& identity)
{
    const ProcessIdentity self = CurrentProcessIdentity();
    if (identity.id == self.id) {
        return identity.started == self.started;
    }
    const UniqueKernelHandle process(Os().openProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, identity.id));
    if (!process.Valid()) {
        // No process has the id (ERROR_INVALID_PARAMETER), or one we may not see.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    uint64_t started = 0;
    if (!StartTime(process.Get(), started)) {
        return true;
    }
    DWORD exitCode = 0;
    // A handle kept open elsewhere keeps an ended process's id taken.
    return started == identity.started && (!GetExitCodeProcess(process.Get(), &exitCode) || exitCode == STILL_ACTIVE);
}

} // namespace vlexif
