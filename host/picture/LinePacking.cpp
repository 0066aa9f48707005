#include "host/picture/LinePacking.h"

namespace vlscan {

void PackNibbles(const uint8_t* indices, uint32_t width, uint8_t* line)
{
    for (uint32_t x = 0; x < width; x += 2) {
        const uint8_t right = x + 1 < width ? indices[x + 1] : 0;
        line[x / 2] = static_cast<uint8_t>(indices[x] << 4 | right);
    }
}

void PackBits(const uint8_t* indices, uint32_t width, uint8_t* line)
{
    for (uint32_t x = 0; x < width; x += 8) {
        uint8_t byte = 0;
        for (uint32_t k = 0; k < 8 && x + k < width; ++k) {
            byte = static_cast<uint8_t>(byte | indices[x + k] << (7 - k));
        }
        line[x / 8] = byte;
    }
}

} // namespace vlscan
