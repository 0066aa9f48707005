// Threads started for one call and joined before it returns: a converter in
// a host's process must leave no thread and no handle behind. Both passes
// over a page run on as many processors as the process may use.
#pragma once

#include "converter/base/StripPlan.h"

#include <windows.h>

namespace vkexf {

// The processors in the process's affinity mask, at least one.
uint32_t UsableProcessors();

class ThreadGroup {
public:
    ThreadGroup() = default;
    ThreadGroup(const ThreadGroup&) = delete;
    ThreadGroup& operator=(const ThreadGroup&) = delete;
    ~ThreadGroup() { JoinAll(); }

    // False when no thread could be made; the caller does the work itself.
    bool Start(LPTHREAD_START_ROUTINE routine, void* argument)
    {
        if (count_ == kMaxWorkers)
            return false;
        const HANDLE thread =
            CreateThread(nullptr, kStackBytes, routine, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (!thread)
            return false;
        threads_[count_++] = thread;
        return true;
    }

    // Waits for every thread to end and closes its handle.
    void JoinAll()
    {
        if (count_)
            WaitForMultipleObjects(count_, threads_, TRUE, INFINITE);
        for (DWORD i = 0; i < count_; ++i)
            CloseHandle(threads_[i]);
        count_ = 0;
    }

private:
    // Address space is scarce in a 32-bit host; a worker's calls into
    // libjpeg need a few kilobytes of stack, not the host's default megabyte.
    static constexpr SIZE_T kStackBytes = 256 * 1024;

    HANDLE threads_[kMaxWorkers] = {};
    DWORD count_ = 0;
};

} // namespace vkexf
