#include "win32/HeldFiles.h"
#include "tests/support/SystemCallsOverride.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <numeric>

namespace vlexif {
namespace {

// Tries an attempt that fails with `error` for ever on `path`; the number of tries.
int TriesAgainst(HeldFileWaits& waits, DWORD error, const std::string& path)
{
    int tries = 0;
    const bool done = RetryWhileHeld(waits, path.c_str(), [&tries, error] {
        ++tries;
        SetLastError(error);
        return false;
    });
    EXPECT_FALSE(done);
    EXPECT_EQ(GetLastError(), error) << "the last try's error is the caller's";
    return tries;
}

TEST(HeldFiles, OnlyWhatAnotherProgramCausesIsTriedAgain)
{
    test::TestTempDir temp;
    const std::string writable = temp.Path() + "writable";
    const std::string readOnly = temp.Path() + "read-only";
    test::WriteWholeFile(writable, {1});
    test::WriteWholeFile(readOnly, {1});
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const struct {
        const char* what;
        DWORD error;
        std::string path;
        bool retried;
    } cases[] = {
        {"sharing violation", ERROR_SHARING_VIOLATION, writable, true},
        {"lock violation", ERROR_LOCK_VIOLATION, writable, true},
        {"access denied to a writable file: a pending delete", ERROR_ACCESS_DENIED, writable, true},
        {"access denied to a read-only file", ERROR_ACCESS_DENIED, readOnly, false},
        {"access denied to no file", ERROR_ACCESS_DENIED, temp.Path() + "absent", false},
        {"access denied to a folder", ERROR_ACCESS_DENIED, temp.Path(), false},
        {"disk full", ERROR_DISK_FULL, writable, false},
        {"path not found", ERROR_PATH_NOT_FOUND, temp.Path() + "gone\\x", false},
    };
    test::SystemCallsOverride calls;
    for (const auto& c : cases) {
        test::RecordWaits();
        HeldFileWaits waits;
        EXPECT_EQ(TriesAgainst(waits, c.error, c.path), c.retried ? HeldFileWaits::MaxTries : 1) << c.what;
        // 25 ms more before each try: 25, 50, … 225, 1.125 s in all.
        EXPECT_EQ(test::Waits().size(), c.retried ? HeldFileWaits::MaxTries - 1u : 0u) << c.what;
        EXPECT_EQ(std::accumulate(test::Waits().begin(), test::Waits().end(), 0u), c.retried ? 1125u : 0u) << c.what;
    }
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(HeldFiles, AHoldThatEndsIsWaitedOutAndACallWaitsTwoSecondsAtMost)
{
    test::SystemCallsOverride calls;
    test::RecordWaits();
    HeldFileWaits waits;
    int failures = 3;
    EXPECT_TRUE(RetryWhileHeld(waits, "x", [&failures] {
        SetLastError(ERROR_SHARING_VIOLATION);
        return failures-- == 0;
    }));
    EXPECT_EQ(test::Waits(), (std::vector<DWORD>{25, 50, 75}));
    // Files held for good, one after another in one host call: the budget
    // ends the waiting, not each file's own count.
    while (TriesAgainst(waits, ERROR_SHARING_VIOLATION, "x") > 1) {
    }
    EXPECT_LE(waits.Waited(), HeldFileWaits::BudgetMs);
    EXPECT_GT(waits.Waited(), HeldFileWaits::BudgetMs - 250);
    waits.Restart();
    EXPECT_EQ(TriesAgainst(waits, ERROR_SHARING_VIOLATION, "x"), HeldFileWaits::MaxTries) << "a new call";
}

} // namespace
} // namespace vlexif
