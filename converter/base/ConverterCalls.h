// The system calls a conversion must survive failing but the platform does
// not fail on demand: reading the spool, taking memory and flushing the
// output. A conversion gets the real ones; tests hand in failing ones.
#pragma once

#include <windows.h>

namespace vkexf {

struct ConverterCalls {
    decltype(&::ReadFile) readFile;
    decltype(&::HeapAlloc) heapAlloc;
    decltype(&::FlushFileBuffers) flushFileBuffers;
};

inline ConverterCalls SystemCalls()
{
    return {::ReadFile, ::HeapAlloc, ::FlushFileBuffers};
}

} // namespace vkexf
