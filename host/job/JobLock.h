// One scan at a time per Wine prefix (per Windows session): the plug-in
// keeps a job's state in the registry under the host's key, so two jobs at
// once would write into each other's spool files.
#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

namespace vlscan {

class JobLock {
public:
    // Waits for any other vlscan's job to end, saying so on stderr, or until
    // `interrupt` is signalled.
    explicit JobLock(HANDLE interrupt);

    // True when the wait ended on the interrupt: no job may start.
    bool Interrupted() const { return interrupted; }

private:
    // Owned once the wait ends on it; released and closed with the lock.
    vlexif::UniqueOwnedMutex owned;
    bool interrupted = false;
};

} // namespace vlscan
