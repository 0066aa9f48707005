#include "host/picture/Palettes.h"

#include "host/picture/Dithering.h"

#include <algorithm>

namespace vlscan {

namespace {

constexpr uint32_t CubeLevels = 6;
constexpr uint32_t CubeEntries = CubeLevels * CubeLevels * CubeLevels;
// Nine grey steps to each step of the cube: the cube's greys fall on the ramp.
constexpr uint32_t GreySubsteps = 9;
constexpr uint32_t CubeRampLevels = (CubeLevels - 1) * GreySubsteps + 1;
constexpr uint32_t SixteenGreys = 8;

// Near-grey colours take the palette's grey ramp, whose steps are finer than
// the cube's; dithering them in the cube would add coloured noise.
bool IsNeutral(Rgb colour)
{
    const int high = std::max({colour.red, colour.green, colour.blue});
    const int low = std::min({colour.red, colour.green, colour.blue});
    return high - low <= 6;
}

uint8_t GreyOf(Rgb colour)
{
    return static_cast<uint8_t>((colour.red + colour.green + colour.blue + 1) / 3);
}

uint8_t LevelValue(uint32_t level, uint32_t levels)
{
    return static_cast<uint8_t>((level * 255 + (levels - 1) / 2) / (levels - 1));
}

} // namespace

Palette GreyRamp(uint32_t entries)
{
    Palette ramp;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t v = LevelValue(i, entries);
        ramp.push_back({v, v, v});
    }
    return ramp;
}

Palette CubePalette()
{
    Palette palette;
    for (uint32_t r = 0; r < CubeLevels; ++r) {
        for (uint32_t g = 0; g < CubeLevels; ++g) {
            for (uint32_t b = 0; b < CubeLevels; ++b) {
                palette.push_back({LevelValue(r, CubeLevels), LevelValue(g, CubeLevels), LevelValue(b, CubeLevels)});
            }
        }
    }
    const Palette ramp = GreyRamp(CubeRampLevels);
    for (uint32_t k = 0; k < CubeRampLevels; ++k) {
        if (k % GreySubsteps != 0) {
            palette.push_back(ramp[k]);
        }
    }
    return palette;
}

uint8_t CubeIndex(Rgb colour, uint32_t threshold)
{
    if (IsNeutral(colour)) {
        const uint32_t k = OrderedLevel(GreyOf(colour), CubeRampLevels, threshold);
        if (k % GreySubsteps == 0) {
            const uint32_t level = k / GreySubsteps;
            return static_cast<uint8_t>((level * CubeLevels + level) * CubeLevels + level);
        }
        // The ramp's own entries follow the cube, skipping the cube's greys.
        return static_cast<uint8_t>(CubeEntries + k - k / GreySubsteps - 1);
    }
    const uint32_t r = OrderedLevel(colour.red, CubeLevels, threshold);
    const uint32_t g = OrderedLevel(colour.green, CubeLevels, threshold);
    const uint32_t b = OrderedLevel(colour.blue, CubeLevels, threshold);
    return static_cast<uint8_t>((r * CubeLevels + g) * CubeLevels + b);
}

Palette SixteenPalette()
{
    Palette palette;
    for (uint32_t corner = 0; corner < 8; ++corner) {
        palette.push_back({static_cast<uint8_t>(corner & 4 ? 255 : 0), static_cast<uint8_t>(corner & 2 ? 255 : 0),
                           static_cast<uint8_t>(corner & 1 ? 255 : 0)});
    }
    // The greys strictly between black and white, which are corners already.
    const Palette greys = GreyRamp(SixteenGreys + 2);
    palette.insert(palette.end(), greys.begin() + 1, greys.end() - 1);
    return palette;
}

uint8_t SixteenIndex(Rgb colour, uint32_t threshold)
{
    if (IsNeutral(colour)) {
        const uint32_t level = OrderedLevel(GreyOf(colour), SixteenGreys + 2, threshold);
        if (level == 0) {
            return 0;
        }
        return static_cast<uint8_t>(level == SixteenGreys + 1 ? 7 : 7 + level);
    }
    const uint32_t r = OrderedLevel(colour.red, 2, threshold);
    const uint32_t g = OrderedLevel(colour.green, 2, threshold);
    const uint32_t b = OrderedLevel(colour.blue, 2, threshold);
    return static_cast<uint8_t>(r * 4 + g * 2 + b);
}

Palette BilevelPalette()
{
    return {{0, 0, 0}, {255, 255, 255}};
}

Palette InkPalette()
{
    return {{255, 255, 255}, {0, 0, 0}};
}

} // namespace vlscan
