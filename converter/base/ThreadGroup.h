// Threads started for one call and joined before it returns: a converter in
// a host's process must leave no thread and no handle behind. Both passes
// over a page run on as many processors as the process may use.
#pragma once

#include "converter/base/StripPlan.h"
#include "win32/UniqueHandle.h"

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
    [[nodiscard]] bool Start(LPTHREAD_START_ROUTINE routine, void* argument)
    {
        if (count_ == kMaxWorkers) {
            return false;
        }
        threads_[count_].Reset(
            CreateThread(nullptr, kStackBytes, routine, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!threads_[count_].Valid()) {
            return false;
        }
        ++count_;
        return true;
    }

    // Waits for every thread to end and closes its handle.
    void JoinAll()
    {
        HANDLE handles[kMaxWorkers];
        for (DWORD i = 0; i < count_; ++i) {
            handles[i] = threads_[i].Get();
        }
        if (count_) {
            WaitForMultipleObjects(count_, handles, TRUE, INFINITE);
        }
        for (DWORD i = 0; i < count_; ++i) {
            threads_[i].Reset();
        }
        count_ = 0;
    }

private:
    // Address space is scarce in a 32-bit host; a worker's calls into
    // libjpeg need a few kilobytes of stack, not the host's default megabyte.
    static constexpr SIZE_T kStackBytes = 256 * 1024;

    vlexif::UniqueKernelHandle threads_[kMaxWorkers];
    DWORD count_ = 0;
};

} // namespace vkexf
