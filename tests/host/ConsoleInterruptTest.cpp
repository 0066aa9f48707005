// The console handler and the job lock under Wine, with the console's events
// delivered by calling the handler on a thread of its own, as the console does.
#include "host/console/ConsoleInterrupt.h"
#include "host/job/JobLock.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

DWORD WINAPI DeliverClose(void*)
{
    return OnConsoleEvent(CTRL_CLOSE_EVENT);
}

// Another scan's lock, held by a thread until `release` is signalled: a
// mutex its owner asks for again is granted at once.
struct OtherScan {
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~OtherScan()
    {
        CloseHandle(held);
        CloseHandle(release);
    }
};

DWORD WINAPI HoldLock(void* context)
{
    auto& other = *static_cast<OtherScan*>(context);
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, "VLScanJob");
    SetEvent(other.held);
    WaitForSingleObject(other.release, INFINITE);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

// The process has one set of interrupt state: one test goes through it.
TEST(ConsoleInterrupt, CloseWaitsUntilTheJobIsOverAndEndsALockWait)
{
    HANDLE closing = nullptr;
    {
        const InterruptScope scope;
        EXPECT_FALSE(InterruptRequested());
        EXPECT_EQ(WaitForSingleObject(InterruptEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_FALSE(OnConsoleEvent(0x1234)) << "an unknown event is left to the next handler";

        OtherScan other;
        const HANDLE holder = CreateThread(nullptr, 0, HoldLock, &other, 0, nullptr);
        ASSERT_TRUE(holder);
        WaitForSingleObject(other.held, INFINITE);
        closing = CreateThread(nullptr, 0, DeliverClose, nullptr, 0, nullptr);
        ASSERT_TRUE(closing);
        {
            const JobLock lock(InterruptEvent());
            EXPECT_TRUE(lock.Interrupted());
        }
        SetEvent(other.release);
        WaitForSingleObject(holder, INFINITE);
        CloseHandle(holder);
        EXPECT_TRUE(InterruptRequested());
        // Windows ends the process once the handler returns: not before the
        // scope that aborts the job is left.
        EXPECT_EQ(WaitForSingleObject(closing, 300), static_cast<DWORD>(WAIT_TIMEOUT));
    }
    ASSERT_EQ(WaitForSingleObject(closing, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD handled = FALSE;
    GetExitCodeThread(closing, &handled);
    EXPECT_TRUE(handled);
    CloseHandle(closing);
}

} // namespace
} // namespace vlscan
