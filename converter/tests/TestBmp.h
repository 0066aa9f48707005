// Builds 24-bit BMP files in memory the way the plug-in writes them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vkexf::test {

struct Rgb {
    uint8_t r, g, b;
};

// Colour of the pixel x, y counted from the top-left.
using PixelFn = std::function<Rgb(uint32_t x, uint32_t y)>;

enum class BmpHeaderKind { Info, Core };

struct BmpSpec {
    BmpHeaderKind header = BmpHeaderKind::Info;
    uint32_t width = 1;
    uint32_t height = 1;
    bool topDown = false; // info header only
    int32_t xPixelsPerMetre = 0;
    int32_t yPixelsPerMetre = 0;
};

std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const PixelFn& pixel = {});

// A tinted image, brighter downwards and rightwards: a flipped or mirrored
// image or swapped channels decode far from it.
PixelFn Ramps(uint32_t width, uint32_t height);

// Little-endian field patching for malformed variants.
void PutU16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value);
void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

} // namespace vkexf::test
