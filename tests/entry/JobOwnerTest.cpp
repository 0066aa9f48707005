// Two processes of one host on the same key: the job belongs to the one that
// began it while that one runs, and is taken over once it is gone. The
// other process is job_host.exe; this one loads the plug-in as the second
// host.
#include "tests/entry/GreyPageHost.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vlexif {
namespace {

using namespace vlexif::test;

constexpr uint8_t ShadeA = 0x10;
constexpr uint8_t ShadeB = 0x90;
// Only a hung host is waited for this long.
constexpr DWORD HostTimeoutMs = 60000;

const char* const JobValues[] = {"TempFile", "ImageFormat", "LoopCount", "Owner Process", "Owner Started"};

class JobOwnerTest : public testing::Test {
protected:
    JobOwnerTest()
        : plugin(Stage("stage")),
          recorder(Stage("stage")),
          events(key.Path().substr(key.Path().rfind('\\') + 1)),
          ready(CreateEventA(nullptr, TRUE, FALSE, ("ready-" + events).c_str())),
          finish(CreateEventA(nullptr, TRUE, FALSE, ("finish-" + events).c_str()))
    {
    }

    ~JobOwnerTest() override
    {
        if (process.Valid()) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), INFINITE);
        }
    }

    // Host A on this test's key, back once it has written its blocks: all of
    // them ("whole", then it waits to finish) or half ("half").
    void StartHostA(const std::string& mode)
    {
        // The folder's last backslash doubled: before a quote, one would escape it.
        std::string command = "\"" + ProgramDirectory() + "job_host.exe\" \"" + plugin.Folder() + "\\\" \"" +
            key.Path() + "\" " + std::to_string(ShadeA) + " ready-" + events + " " + mode;
        if (mode == "whole") {
            command += " finish-" + events + " \"" + CopyPath() + "\"";
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        ASSERT_TRUE(
            CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
        CloseHandle(started.hThread);
        process.Reset(started.hProcess);
        const HANDLE waits[] = {ready.Get(), process.Get()};
        DWORD code = 0;
        ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, HostTimeoutMs), WAIT_OBJECT_0)
            << "host A did not begin, exit status " << (GetExitCodeProcess(process.Get(), &code), code);
    }

    DWORD WaitForHostA()
    {
        DWORD code = 0;
        EXPECT_EQ(WaitForSingleObject(process.Get(), HostTimeoutMs), WAIT_OBJECT_0);
        GetExitCodeProcess(process.Get(), &code);
        process.Reset();
        return code;
    }

    std::string CopyPath() const { return temp.Path() + "page-a.bmp"; }

    std::vector<std::vector<uint8_t>> JobValuesNow() const
    {
        std::vector<std::vector<uint8_t>> values;
        for (const char* name : JobValues) {
            values.push_back(key.Binary(name));
        }
        return values;
    }

    // Host B's whole job, with its page the one the converter gets.
    void ScanB()
    {
        GreyPageHost b(plugin, key.Path(), ShadeB, owner.Handle());
        ASSERT_EQ(b.Begin(), StatusOk);
        ASSERT_EQ(b.WriteLines(0, GreyPageHost::Height), StatusOk);
        ASSERT_EQ(b.Call(CmdFinish), StatusOk);
        ASSERT_EQ(recorder->calls, 1);
        EXPECT_EQ(std::vector<uint8_t>(recorder->spoolCopy, recorder->spoolCopy + recorder->spoolCopySize),
                  b.ExpectedSpool());
        for (const char* name : JobValues) {
            EXPECT_FALSE(key.HasValue(name)) << name;
        }
    }

    TestRegistryKey key;
    TestTempDir temp;
    OwnerWindow owner;
    MessageBoxCatcher messages;
    PluginLibrary plugin;
    Recorder recorder;
    std::string events;
    UniqueKernelHandle ready, finish, process;
};

TEST_F(JobOwnerTest, JobOfARunningProcessIsRefusedUntouchedUntilItFinishes)
{
    StartHostA("whole");
    const auto valuesOfA = JobValuesNow();
    const auto filesOfA = temp.Files();
    ASSERT_EQ(filesOfA.size(), 1u);

    GreyPageHost b(plugin, key.Path(), ShadeB, owner.Handle());
    EXPECT_EQ(b.Call(CmdDescribe), StatusOk); // not a job call
    EXPECT_EQ(b.Begin(), StatusOpenFailed);
    for (const PluginCommand command : {CmdBeginImage, CmdSetPalette, CmdWriteBlock, CmdFinish}) {
        EXPECT_EQ(b.Call(command), StatusOpenFailed) << command;
    }
    ASSERT_EQ(messages.Messages().size(), 5u);
    for (const CaughtMessage& message : messages.Messages()) {
        EXPECT_EQ(message.text, "Another scan is using the plug-in. Wait until it has finished, then scan again.");
        EXPECT_EQ(message.owner, owner.Handle());
    }
    // The abort a host sends after a failure ends nothing of A's, and says
    // nothing more.
    EXPECT_EQ(b.Call(CmdAbort), StatusOk);
    EXPECT_EQ(messages.Messages().size(), 5u);
    EXPECT_EQ(recorder->calls, 0);
    EXPECT_EQ(JobValuesNow(), valuesOfA);
    EXPECT_EQ(temp.Files(), filesOfA);

    SetEvent(finish.Get());
    EXPECT_EQ(WaitForHostA(), StatusOk);
    EXPECT_EQ(ReadWholeFile(CopyPath()), GreyPageHost(plugin, key.Path(), ShadeA, nullptr).ExpectedSpool());
    DeleteFileA(CopyPath().c_str());
    EXPECT_TRUE(temp.Files().empty());

    ScanB();
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(JobOwnerTest, JobOfAKilledProcessIsTakenOverAndItsSpoolFileRemoved)
{
    StartHostA("half");
    const std::string spoolOfA = key.String("TempFile").c_str();
    ASSERT_NE(GetFileAttributesA(spoolOfA.c_str()), INVALID_FILE_ATTRIBUTES);
    TerminateProcess(process.Get(), 1);
    WaitForHostA();

    ScanB();
    EXPECT_EQ(GetFileAttributesA(spoolOfA.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(temp.Files().empty());
    EXPECT_TRUE(messages.Messages().empty());
}

} // namespace
} // namespace vlexif
