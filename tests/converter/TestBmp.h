// 24-bit BMP files built in memory the way the plug-in writes them.
#pragma once

#include "interface/SpoolLayout.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vkexf::test {

struct Rgb {
    uint8_t r, g, b;
};

struct BmpSpec {
    bool coreHeader = false;
    uint32_t width = 1;
    uint32_t height = 1;
    bool topDown = false; // info header only
    int32_t pixelsPerMetre = 0;
};

// Pixel x, y counted from the top-left; none leaves the pixels black.
std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const std::function<Rgb(uint32_t, uint32_t)>& pixel = {});

// A tinted image, brighter downwards and rightwards: a flipped or mirrored
// result or swapped channels decode far from it. Steep ramps only in
// brightness, since JPEG halves the chroma resolution.
Rgb Ramps(const BmpSpec& spec, uint32_t x, uint32_t y);

// Rewrites the info head of `bytes`, a file MakeBmp made with one.
void ChangeInfoHead(std::vector<uint8_t>& bytes, void (*change)(bmp::InfoHead&));

} // namespace vkexf::test
