#include "host/job/JobLock.h"

#include <cstdio>

namespace vlscan {

JobLock::JobLock(HANDLE interrupt)
{
    vlexif::UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, "VLScanJob"));
    if (!mutex.Valid()) {
        return;
    }
    DWORD result = WaitForSingleObject(mutex.Get(), 0);
    if (result == WAIT_TIMEOUT) {
        std::fprintf(stderr, "vlscan: waiting for another scan to finish\n");
        const HANDLE waits[] = {mutex.Get(), interrupt};
        result = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        interrupted = result == WAIT_OBJECT_0 + 1;
    }
    // An abandoned mutex is ours as well: its owner died mid-job.
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) {
        owned.Reset(mutex.Release());
    }
}

} // namespace vlscan
