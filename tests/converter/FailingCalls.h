// System-call tables that fail on the n-th call of one kind (memory from the
// n-th on), from whichever worker makes it, and count every call, so a test
// can fail each one in turn.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "win32/SystemCalls.h"

#include <windows.h>

namespace vkexf::test {

struct FailingCalls {
    // Counts from zero again; the `failAt`-th call fails (0: none does),
    // and for memory every later one.
    // A read fails with `error`, or comes back short when it is 0.
    static void Arm(LONG failAt, DWORD error = 0);
    // Calls made since Arm.
    static LONG Count();
    // Bytes read since Arm, the page's and any other file's.
    static LONG64 BytesRead();

    // The real table with reads failing.
    static vlexif::SystemCalls Reads();
    // The real table with memory failing.
    static vlexif::SystemCalls Allocations();
    // The real table with the output's flush failing with `error`.
    static vlexif::SystemCalls Flushes();
};

// ConvertSpoolToJpeg with `calls` in force, the real table again after it.
Status ConvertWith(const vlexif::SystemCalls& calls, const char* versionText, const void* jobRecord,
                   const char* spoolPath, int32_t quality);

} // namespace vkexf::test
