// The headers of the 24-bit BMP spool files the plug-in writes, parsed from
// the file's first bytes alone so the parser can be tested and fuzzed anywhere.
#pragma once

#include "interface/SpoolLayout.h"
#include "interface/VkExfLimits.h"

#include <cstddef>
#include <cstdint>

namespace vkexf {

struct BmpLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint32_t pixelOffset = 0;
    uint32_t stride = 0; // bytes per row, padded to 4
    // Zero when the header carries no resolution (core header) or says none.
    int32_t xPixelsPerMetre = 0;
    int32_t yPixelsPerMetre = 0;
};

enum class [[nodiscard]] BmpError{
    None,
    Truncated,  // fewer bytes than the headers need
    Signature,  // not "BM"
    HeaderSize, // neither a 40-byte info nor a 12-byte core header
    Planes,
    BitCount,    // not 24 bits per pixel
    Compression, // not BI_RGB
    Width,       // zero or negative
    Height,      // zero
    TooLarge,    // a side beyond VkExfMaxImageSide
    PixelOffset, // pixels start inside the headers or past the end
    PixelArea,   // file shorter than the rows it claims
};

// Parses the headers in `bytes` (the first min(bmp::InfoHeadSize, fileSize)
// bytes of the file) and checks them against the file's size. The sizes come
// from the dimensions alone: the header's 32-bit size fields are not read,
// since a file past 4 GiB states 0 in them.
BmpError ParseBmpHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, BmpLayout& layout);

} // namespace vkexf
