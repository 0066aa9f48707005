// The fixed palettes the host sends and the mapping of a colour to an index
// of each at a dither threshold (see OrderedLevel). Platform-free.
#pragma once

#include <cstdint>
#include <vector>

namespace vlscan {

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    bool operator==(const Rgb& other) const { return red == other.red && green == other.green && blue == other.blue; }
};

using Palette = std::vector<Rgb>;

// `entries` greys evenly from black to white.
Palette GreyRamp(uint32_t entries);

// 256 entries: a 6×6×6 colour cube (index 36r + 6g + b) then 40 greys,
// which with the cube's own six make a ramp of 46 even steps.
Palette CubePalette();
uint8_t CubeIndex(Rgb colour, uint32_t threshold);

// 16 entries: the eight corners of the colour cube (index 4r + 2g + b) then
// eight greys between black and white.
Palette SixteenPalette();
uint8_t SixteenIndex(Rgb colour, uint32_t threshold);

// Two entries: 0 black, 1 white.
Palette BilevelPalette();
// Two entries the other way round: 0 white paper, 1 black ink.
Palette InkPalette();

} // namespace vlscan
