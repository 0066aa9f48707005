// Whether the process a stored identity names still runs: the rule that lets
// a job be taken over from a process that is gone, and only from one.
#include "win32/ProcessIdentity.h"
#include "tests/support/SystemCallsOverride.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

using namespace vlexif::test;

// Another process, which stays as it is until it is ended: this program,
// started suspended.
class OtherProcess {
public:
    OtherProcess()
    {
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, sizeof program);
        std::string command = std::string("\"") + program + "\" --gtest_list_tests";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        EXPECT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                                   &startup, &started));
        CloseHandle(started.hThread);
        handle.Reset(started.hProcess);
        FILETIME created, exited, kernel, user;
        EXPECT_TRUE(GetProcessTimes(handle.Get(), &created, &exited, &kernel, &user));
        identity = {started.dwProcessId, (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime};
    }
    ~OtherProcess() { End(); }

    void End()
    {
        if (handle.Valid() && TerminateProcess(handle.Get(), 1)) {
            WaitForSingleObject(handle.Get(), INFINITE);
        }
    }
    // Nothing keeps its id taken any more.
    void Forget() { handle.Reset(); }

    ProcessIdentity identity = {};

private:
    UniqueKernelHandle handle;
};

HANDLE WINAPI DenyOpen(DWORD, BOOL, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

TEST(ProcessIdentityTest, OnlyTheProcessThatStartedThenAndStillRunsIsRunning)
{
    const SystemCallsOverride calls;
    OtherProcess other;
    const ProcessIdentity self = CurrentProcessIdentity();
    const ProcessIdentity& started = other.identity;
    const struct {
        const char* what;
        ProcessIdentity identity;
        bool running;
    } cases[] = {
        {"this process", self, true},
        {"this process's id, started at another time", {self.id, self.started - 1}, false},
        {"another process that runs", started, true},
        {"its id, started at another time", {started.id, started.started + 1}, false},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(IsRunning(row.identity), row.running) << row.what;
    }
    other.End();
    EXPECT_FALSE(IsRunning(started)) << "ended, its id kept by a handle";
    other.Forget();
    EXPECT_FALSE(IsRunning(started)) << "ended, its id no process's";
    // One that may not be looked at is somebody's: its job is not taken.
    Os().openProcess = DenyOpen;
    EXPECT_TRUE(IsRunning({started.id, started.started + 1})) << "access denied";
    EXPECT_TRUE(IsRunning(self)) << "this process, never opened";
}

} // namespace
} // namespace vlexif
