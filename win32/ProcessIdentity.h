// A process told apart from any later one that is given the same id: its id
// and the time it started. Windows reuses ids as soon as a process is gone,
// so the id alone could name a stranger.
#pragma once

#include <cstdint>

namespace vlexif {

struct ProcessIdentity {
    uint32_t id;
    uint64_t started; // creation time, in FILETIME units
};

ProcessIdentity CurrentProcessIdentity();

// Whether the process `identity` names still runs. One that no longer exists,
// has ended, or whose id now belongs to a process started at another time
// does not. One that exists but may not be looked at (another user's, a
// protected one) counts as running, as does one whose times cannot be read:
// a process is never declared gone on a guess.
[[nodiscard]] bool IsRunning(const ProcessIdentity& identity);

} // namespace vlexif
