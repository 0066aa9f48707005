// One scan at a time per Wine prefix (per Windows session): the plug-in
// keeps a job's state in the registry under the host's key, so two jobs at
// once would write into each other's spool files.
#pragma once

#include <windows.h>

namespace vlscan {

class JobLock {
public:
    // Waits for any other vlscan's job to end, saying so on stderr, or until
    // `interrupt` is signalled.
    explicit JobLock(HANDLE interrupt);
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;
    ~JobLock();

    // True when the wait ended on the interrupt: no job may start.
    bool Interrupted() const { return interrupted; }

private:
    HANDLE mutex;
    bool held = false;
    bool interrupted = false;
};

} // namespace vlscan
