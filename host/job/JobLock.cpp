#include "host/job/JobLock.h"

#include <cstdio>

namespace vlscan {

JobLock::JobLock(HANDLE interrupt) : mutex(CreateMutexA(nullptr, FALSE, "VLScanJob"))
{
    if (!mutex) {
        return;
    }
    DWORD result = WaitForSingleObject(mutex, 0);
    if (result == WAIT_TIMEOUT) {
        std::fprintf(stderr, "vlscan: waiting for another scan to finish\n");
        const HANDLE waits[] = {mutex, interrupt};
        result = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        interrupted = result == WAIT_OBJECT_0 + 1;
    }
    // An abandoned mutex is ours as well: its owner died mid-job.
    held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0;
}

JobLock::~JobLock()
{
    if (held) {
        ReleaseMutex(mutex);
    }
    if (mutex) {
        CloseHandle(mutex);
    }
}

} // namespace vlscan
