#include "host/checks/JobSpace.h"

#include "spool/BmpHeader.h"

#include <cstdio>

namespace vlscan {

bool SpoolFileBytes(uint32_t width, uint32_t height, uint64_t& bytes)
{
    // The info layout is the larger of the two headers the plug-in writes.
    const uint32_t header = vlexif::PixelDataOffset(vlexif::HeaderLayout::Info, 0);
    uint32_t pixels = 0;
    if (!vlexif::SpoolFileSizes(header, width, height, 24, pixels)) {
        return false;
    }
    bytes = uint64_t{header} + pixels;
    return true;
}

uint64_t JpegFloorBytes(uint32_t width, uint32_t height)
{
    return (uint64_t{width} * height + 255) / 256;
}

std::string SizeText(uint64_t bytes)
{
    if (bytes < 1000000) {
        return std::to_string(bytes) + " bytes";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

} // namespace vlscan
