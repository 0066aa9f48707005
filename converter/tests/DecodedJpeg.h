// A JPEG decoded back to RGB with libjpeg-turbo, with the headers tests check.
#pragma once

#include "converter/tests/TestBmp.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vkexf::test {

struct DecodedJpeg {
    bool ok = false; // false when libjpeg refused the data
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;
    bool jfif = false;
    int densityUnit = 0;
    unsigned xDensity = 0;
    unsigned yDensity = 0;
    std::vector<std::string> app1; // payloads of the APP1 segments

    Rgb At(uint32_t x, uint32_t y) const;
    // Peak signal-to-noise ratio against what the image should show.
    double Psnr(const PixelFn& expected) const;
};

DecodedJpeg DecodeJpeg(const std::vector<uint8_t>& data);

} // namespace vkexf::test
