// The eight pixel formats as a host delivers them, and the 24-bit BMP rows
// they must become, stated independently of the plug-in's kernels.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace vlexif::test {

struct HostFormat {
    const char* name;
    uint32_t bits, samples, colourType;
    bool usesPalette;
};

extern const HostFormat hostFormats[8];

// Bytes per line a host may use for the format at this width: RGB24 lines
// padded to the 24-bit stride, the others possibly longer than they need.
int32_t HostBytesPerLine(const HostFormat& format, int32_t width, std::mt19937& random);

// The blue, green, red of pixel j of a host line, through `table` (256
// entries of blue, green, red, 0) where the format uses one.
void HostPixel(const HostFormat& format, const uint8_t* line, int32_t j, const uint8_t* table, uint8_t* bgr);

// A whole 24-bit bottom-up BMP: the 54-byte header and all-black rows.
std::vector<uint8_t> BlackBmp24(int32_t width, int32_t height, uint32_t dpi);

uint32_t Stride24(int32_t width);

} // namespace vlexif::test
