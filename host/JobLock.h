// One scan at a time per Wine prefix (per Windows session): the plug-in
// keeps a job's state in the registry under the host's key, so two jobs at
// once would write into each other's spool files.
#pragma once

#include <windows.h>

namespace vlscan {

class JobLock {
public:
    // Waits for any other vlscan's job to end, saying so on stderr.
    JobLock();
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;
    ~JobLock();

private:
    HANDLE mutex;
    bool held = false;
};

} // namespace vlscan
