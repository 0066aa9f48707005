// Little-endian bytes into a fixed buffer the caller owns. Writing past its
// end writes nothing and marks the writer as overflowed, so a builder checks
// once at the end instead of at every step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vkexf {

class ByteWriter {
public:
    ByteWriter(uint8_t* data, size_t capacity) : data(data), capacity(capacity) {}

    size_t Size() const { return size; }
    bool Overflowed() const { return overflowed; }

    void Bytes(const void* bytes, size_t count)
    {
        if (Room(count)) {
            std::memcpy(data + size, bytes, count);
        }
        Advance(count);
    }
    void Zeros(size_t count)
    {
        if (Room(count)) {
            std::memset(data + size, 0, count);
        }
        Advance(count);
    }
    void U16(uint16_t value)
    {
        const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        Bytes(bytes, sizeof bytes);
    }
    void U32(uint32_t value)
    {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }

private:
    bool Room(size_t count) const { return !overflowed && count <= capacity - size; }
    void Advance(size_t count)
    {
        if (Room(count)) {
            size += count;
        } else {
            overflowed = true;
        }
    }

    uint8_t* data;
    size_t capacity;
    size_t size = 0;
    bool overflowed = false;
};

} // namespace vkexf
