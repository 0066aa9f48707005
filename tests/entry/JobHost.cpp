// A second host process for the tests of a job's owner: runs a grey page's
// job through VLEXIF.dll under the key it is given, says when its blocks are
// written, and ends the job when told.
//
//   job_host STAGE KEY SHADE READY-EVENT whole FINISH-EVENT COPY
//       every block, then on FINISH-EVENT the finish; the page the converter
//       was handed goes to COPY, the finish's status is the exit status
//   job_host STAGE KEY SHADE READY-EVENT half
//       half the blocks, then waits to be ended
#include "tests/entry/GreyPageHost.h"

#include <cstdlib>
#include <cstring>

using namespace vlexif;
using namespace vlexif::test;

namespace {

constexpr int SetUpFailed = 100;

} // namespace

int main(int argc, char** argv)
{
    const bool whole = argc == 8 && std::strcmp(argv[5], "whole") == 0;
    if (!whole && !(argc == 6 && std::strcmp(argv[5], "half") == 0)) {
        return SetUpFailed;
    }
    const MessageBoxCatcher messages; // a box would wait for a user nobody is
    const PluginLibrary plugin(argv[1]);
    const Recorder recorder(argv[1]);
    GreyPageHost host(plugin, argv[2], static_cast<uint8_t>(std::atoi(argv[3])), nullptr);
    const UniqueKernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]));
    const int32_t end = whole ? GreyPageHost::Height : GreyPageHost::Height / 2;
    if (!ready.Valid() || host.Begin() != StatusOk || host.WriteLines(0, end) != StatusOk) {
        return SetUpFailed;
    }
    SetEvent(ready.Get());
    if (!whole) {
        // Ended from outside while it waits, its job half written.
        const UniqueKernelHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        WaitForSingleObject(never.Get(), INFINITE);
        return SetUpFailed;
    }
    const UniqueKernelHandle finish(OpenEventA(SYNCHRONIZE, FALSE, argv[6]));
    if (!finish.Valid() || WaitForSingleObject(finish.Get(), INFINITE) != WAIT_OBJECT_0) {
        return SetUpFailed;
    }
    const uint32_t status = host.Call(CmdFinish);
    const UniqueFile copy(CreateFileA(argv[7], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!copy.Valid() || !WriteFile(copy.Get(), recorder->spoolCopy, recorder->spoolCopySize, &written, nullptr)) {
        return SetUpFailed;
    }
    return static_cast<int>(status);
}
