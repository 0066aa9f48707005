// Files another program holds for a moment. Search indexers, sync and backup
// clients, thumbnailers and the user-mode parts of virus scanners open a new
// or changed file for some milliseconds; while they do, our own open, delete
// or rename of it fails with a sharing or lock violation, or with access
// denied for a file whose deletion is pending. Such a failure is tried again
// a bounded number of times; any other (a full disk, a missing folder, a
// read-only file) fails at once, since waiting would not mend it.
#pragma once

#include "win32/SystemCalls.h"

#include <windows.h>

namespace vlexif {

// The waiting one host call (or one conversion) may do on held files, in all.
class HeldFileWaits {
public:
    // 25 ms × n before try n + 1, ten tries in all (1.125 s of waiting), as
    // SQLite's Windows layer spaces its own: a thumbnailer's or indexer's
    // glance at a new file lasts some 5 to 300 ms, which the fourth or fifth
    // try outlasts (the end-to-end tests hold files for 5 and 300 ms), while
    // a hold that outlives a second is a program that keeps the file, and
    // waiting longer would only stall the host.
    static constexpr int MaxTries = 10;
    static constexpr DWORD StepMs = 25;
    // A host call stays bounded whatever it meets: the operations of one call
    // share this, so a call that meets several held files still returns
    // within about two seconds of waiting; the finish, which runs a
    // conversion with a budget of its own, within about four.
    static constexpr DWORD BudgetMs = 2000;

    // `budgetMs` 0 tries once and never waits.
    explicit HeldFileWaits(DWORD budgetMs = BudgetMs) : budget(budgetMs) {}

    // A new host call: the budget is whole again.
    void Restart() { waitedMs = 0; }
    DWORD Waited() const { return waitedMs; }

    // After failed try number `tries` (from 1): waits and returns true when
    // one more try is allowed, false at once when none is.
    [[nodiscard]] bool WaitBeforeTry(int tries);

private:
    DWORD budget;
    DWORD waitedMs = 0;
};

// True when `error` may be another program's passing hold on the file at
// `path`: a sharing or lock violation, or access denied to a file that
// exists and is neither read-only nor a folder.
bool IsPassingHold(DWORD error, const char* path);
bool IsPassingHold(DWORD error, const wchar_t* path);

// Runs `attempt` (true on success, the reason in the last error otherwise)
// until it succeeds, fails for a lasting reason, or `waits` allows no more.
// The last error is the last try's.
template <typename Char, typename Attempt>
[[nodiscard]] bool RetryWhileHeld(HeldFileWaits& waits, const Char* path, Attempt attempt)
{
    for (int tries = 1;; ++tries) {
        if (attempt()) {
            return true;
        }
        const DWORD error = GetLastError();
        const bool again = IsPassingHold(error, path) && waits.WaitBeforeTry(tries);
        SetLastError(error);
        if (!again) {
            return false;
        }
    }
}

} // namespace vlexif
