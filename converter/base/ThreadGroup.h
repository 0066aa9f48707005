// Threads started for one call and joined before it returns: a converter in
// a host's process must leave no thread and no handle behind. A page's
// workers run on as many processors as the process may use (see StripPlan.h).
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
        if (count == MaxWorkers) {
            return false;
        }
        threads[count].Reset(
            CreateThread(nullptr, StackBytes, routine, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!threads[count].Valid()) {
            return false;
        }
        ++count;
        return true;
    }

    // Waits for every thread to end and closes its handle.
    void JoinAll()
    {
        HANDLE handles[MaxWorkers];
        for (DWORD i = 0; i < count; ++i) {
            handles[i] = threads[i].Get();
        }
        if (count) {
            WaitForMultipleObjects(count, handles, TRUE, INFINITE);
        }
        for (DWORD i = 0; i < count; ++i) {
            threads[i].Reset();
        }
        count = 0;
    }

private:
    // Address space is scarce in a 32-bit host; a worker's calls into
    // libjpeg need a few kilobytes of stack, not the host's default megabyte.
    static constexpr SIZE_T StackBytes = 256 * 1024;

    vlexif::UniqueKernelHandle threads[MaxWorkers];
    DWORD count = 0;
};

} // namespace vkexf
