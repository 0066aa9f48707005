// Packing and unpacking of host lines: 16-bit samples low byte first, two
// 4-bit pixels per byte with the left one in the high nibble, eight 1-bit
// pixels per byte with the left one in the most significant bit.
// Platform-free.
#pragma once

#include <cstdint>

namespace vlscan {

inline void Store16LE(uint16_t value, uint8_t* at)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// `indices` holds `width` values below 16 (or below 2); the line's bytes
// after the last pixel are left as they are.
void PackNibbles(const uint8_t* indices, uint32_t width, uint8_t* line);
void PackBits(const uint8_t* indices, uint32_t width, uint8_t* line);

inline uint8_t NibbleAt(const uint8_t* line, uint32_t x)
{
    return static_cast<uint8_t>((line[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F);
}

inline uint8_t BitAt(const uint8_t* line, uint32_t x)
{
    return static_cast<uint8_t>((line[x / 8] >> (7 - x % 8)) & 1);
}

} // namespace vlscan
