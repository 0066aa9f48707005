// Converter calls that fail on the n-th call of either kind (memory from the
// n-th on), from whichever worker makes it, and count every call, so a test
// can fail each one in turn.
#pragma once

#include "converter/base/ConverterCalls.h"

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

    // Reads fail, memory comes.
    static ConverterCalls Reads();
    // Memory fails, reads work.
    static ConverterCalls Allocations();
    // Flushing the output fails with `error`.
    static ConverterCalls Flushes();
};

} // namespace vkexf::test
