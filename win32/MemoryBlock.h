// A block of memory with its size, held by one of the holders of
// UniqueHandle.h. Never throws: who allocates makes the block and hands it
// over with Reset, and a block that could not be had leaves it empty.
#pragma once

#include "win32/UniqueHandle.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace vlexif {

template <typename Holder>
class MemoryBlock {
public:
    MemoryBlock() = default;
    MemoryBlock(MemoryBlock&& other) noexcept { *this = std::move(other); }
    MemoryBlock& operator=(MemoryBlock&& other) noexcept
    {
        const size_t bytes = std::exchange(other.size, 0);
        Reset(other.block.Release(), bytes);
        return *this;
    }

    uint8_t* Address() const { return static_cast<uint8_t*>(block.Get()); }
    size_t Size() const { return size; }
    bool Valid() const { return block.Valid(); }

    // Frees the block held, if any, and holds `bytes` at `address` (null: none).
    void Reset(void* address = nullptr, size_t bytes = 0)
    {
        block.Reset(address);
        size = address ? bytes : 0;
    }

private:
    Holder block;
    size_t size = 0;
};

} // namespace vlexif
