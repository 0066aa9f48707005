#include "host/picture/Dithering.h"

namespace vlscan {

uint32_t BayerRank(uint32_t x, uint32_t y)
{
    // The lowest coordinate bits choose the most significant base-4 digit:
    // 0 2 / 3 1 at every scale.
    uint32_t rank = 0;
    for (uint32_t bit = 0; bit < 3; ++bit) {
        const uint32_t xb = (x >> bit) & 1;
        const uint32_t yb = (y >> bit) & 1;
        rank = rank * 4 + 2 * (xb ^ yb) + yb;
    }
    return rank;
}

uint32_t OrderedLevel(uint8_t value, uint32_t levels, uint32_t threshold)
{
    // floor(value * (levels-1) / 255 + threshold / 128), in integers.
    const uint32_t level = (value * (levels - 1) * 128 + threshold * 255) / (255 * 128);
    return level < levels ? level : levels - 1;
}

ErrorDiffusion::ErrorDiffusion(uint32_t width) : width(width), current(width + 2, 0), next(width + 2, 0) {}

void ErrorDiffusion::Line(const uint8_t* luma, uint8_t* white)
{
    for (uint32_t x = 0; x < width; ++x) {
        const int32_t wanted = luma[x] + current[x + 1] / 16;
        const int32_t shown = wanted >= 128 ? 255 : 0;
        white[x] = shown ? 1 : 0;
        const int32_t error = wanted - shown;
        current[x + 2] += 7 * error;
        next[x] += 3 * error;
        next[x + 1] += 5 * error;
        next[x + 2] += error;
    }
    current.swap(next);
    next.assign(next.size(), 0);
}

} // namespace vlscan
