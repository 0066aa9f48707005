// A block of the process heap with its size. Never throws: a failed
// allocation leaves it empty, for the caller to report.
#pragma once

#include "win32/MemoryBlock.h"

#include <windows.h>

#include <cstddef>

namespace vkexf {

class HeapBuffer : public vlexif::MemoryBlock<vlexif::UniqueHeapBlock> {
public:
    // False when the heap has no room; the old block is gone either way.
    // `allocate` is HeapAlloc unless a test hands in one that fails.
    [[nodiscard]] bool Allocate(size_t bytes, decltype(&::HeapAlloc) allocate = ::HeapAlloc)
    {
        Reset(); // freed first: the old and the new are never held at once
        Reset(allocate(GetProcessHeap(), 0, bytes), bytes);
        return Valid();
    }
};

} // namespace vkexf
