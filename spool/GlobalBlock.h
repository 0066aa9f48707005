// A movable, zero-initialised global memory block, held locked while it lives.
// Released by unlocking and freeing the handle that belongs to its address.
#pragma once

#include <cstdint>

namespace vlexif {

class GlobalBlock {
public:
    GlobalBlock() = default;
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock() { Release(); }

    // False when the block cannot be had; a request for zero bytes never can.
    bool Allocate(uint32_t bytes);
    void Release();

    uint8_t* Address() const { return address; }
    uint32_t Size() const { return size; }
    explicit operator bool() const { return address != nullptr; }

private:
    uint8_t* address = nullptr;
    uint32_t size = 0;
};

} // namespace vlexif
