// The system calls a conversion must survive failing but the platform does
// not fail on demand: reading the spool and taking memory. A conversion gets
// the real ones; tests hand in failing ones.
#pragma once

#include <windows.h>

namespace vkexf {

struct ConverterCalls {
    decltype(&::ReadFile) readFile;
    decltype(&::HeapAlloc) heapAlloc;
};

inline ConverterCalls SystemCalls()
{
    return {::ReadFile, ::HeapAlloc};
}

} // namespace vkexf
