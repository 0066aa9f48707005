// The two ways the host reduces smooth tones to few levels: ordered
// dithering by an 8×8 Bayer matrix, and Floyd–Steinberg error diffusion to
// black and white. Platform-free.
#pragma once

#include "host/picture/NameTable.h"

#include <cstdint>
#include <vector>

namespace vlscan {

enum class Dither { Auto, None, Ordered, Diffusion };

inline constexpr NamedValue<Dither> DitherNames[] = {
    {"auto", Dither::Auto}, {"none", Dither::None}, {"ordered", Dither::Ordered}, {"diffusion", Dither::Diffusion}};

// The Bayer matrix's rank (0..63) at a pixel; neighbours differ most.
uint32_t BayerRank(uint32_t x, uint32_t y);

// Thresholds are in 128ths of a level step: the Bayer matrix's are the odd
// ones, 1..127, and a threshold of a half step rounds to the nearest level.
inline uint32_t BayerThreshold(uint32_t x, uint32_t y)
{
    return 2 * BayerRank(x, y) + 1;
}
constexpr uint32_t NearestThreshold = 64;

// Which of `levels` evenly spaced levels (0 = black .. levels-1 = white)
// `value` becomes at a pixel with the given threshold: over the 64 Bayer
// thresholds the levels average to `value`.
uint32_t OrderedLevel(uint8_t value, uint32_t levels, uint32_t threshold);

// Floyd–Steinberg, fed the lines top-down: each line's luma becomes 1 (white)
// or 0 (black), the rounding error carried to the unvisited neighbours.
class ErrorDiffusion {
public:
    explicit ErrorDiffusion(uint32_t width);
    void Line(const uint8_t* luma, uint8_t* white);

private:
    uint32_t width;
    // One entry of margin either side, so the edges need no special case.
    std::vector<int32_t> current;
    std::vector<int32_t> next;
};

} // namespace vlscan
