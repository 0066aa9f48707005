// A block of the process heap with its size. Never throws: a failed
// allocation leaves it empty, for the caller to report.
#pragma once

#include "win32/MemoryBlock.h"
#include "win32/SystemCalls.h"

#include <windows.h>

#include <cstddef>

namespace vkexf {

class HeapBuffer : public vlexif::MemoryBlock<vlexif::UniqueHeapBlock> {
public:
    // False when the heap has no room; the old block is gone either way.
    // Taken through the system-call table, which tests make fail.
    [[nodiscard]] bool Allocate(size_t bytes)
    {
        Reset(); // freed first: the old and the new are never held at once
        Reset(vlexif::Os().heapAlloc(GetProcessHeap(), 0, bytes), bytes);
        return Valid();
    }
};

} // namespace vkexf
