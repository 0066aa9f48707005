#include "host/checks/JobSpace.h"

#include "interface/SpoolLayout.h"

#include <cstdint>

#include <cstdio>

namespace vlscan {

bool SpoolFileBytes(uint32_t width, uint32_t height, uint64_t& bytes)
{
    // Reckoned from the file layout, not with the plug-in's own code, so
    // that a fault in its sizing is not shared by the check: the 54-byte
    // head of the 24-bit layout, then padded 24-bit rows. The plug-in seeks
    // with signed 32-bit distances, so it refuses a larger file.
    const uint64_t total = uint64_t{bmp::InfoHeadSize} + bmp::WideRowStride(width, bmp::TrueColourBits) * height;
    if (total > INT32_MAX) {
        return false;
    }
    bytes = total;
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
