// A movable, zero-initialised global memory block, held locked while it lives
// and freed with the handle that belongs to its address. Taken through the
// system-call table, so that a test can make it fail.
#pragma once

#include "win32/MemoryBlock.h"

namespace vlexif {

class GlobalBlock : public MemoryBlock<UniqueGlobalLock> {
public:
    // False when the block cannot be had; a request for zero bytes never can.
    // The old block is gone either way.
    [[nodiscard]] bool Allocate(uint32_t bytes);
};

} // namespace vlexif
