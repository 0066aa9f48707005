#include "host/checks/JobSpace.h"

#include "interface/SpoolLayout.h"
#include "interface/VkExfLimits.h"

#include <cstdint>

#include <cstdio>

namespace vlscan {

std::string PageSizeRefusal(uint32_t width, uint32_t height)
{
    if (width <= VkExfMaxImageSide && height <= VkExfMaxImageSide) {
        return {};
    }
    return "the page, " + std::to_string(width) + " x " + std::to_string(height) +
        " pixels, is larger than a JPEG can hold (" + std::to_string(VkExfMaxImageSide) +
        " pixels a side): scan it at a lower resolution or a smaller area";
}

uint64_t SpoolFileBytes(uint32_t width, uint32_t height)
{
    // Reckoned from the file layout, not with the plug-in's own code, so
    // that a fault in its sizing is not shared by the check: the 54-byte
    // head of the 24-bit layout, then padded 24-bit rows.
    return uint64_t{bmp::InfoHeadSize} + bmp::WideRowStride(width, bmp::TrueColourBits) * height;
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
