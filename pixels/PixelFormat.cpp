#include "pixels/PixelFormat.h"

namespace vlexif {

namespace {

struct PixelLayout {
    uint32_t bitsPerPixel;
    uint32_t samplesPerPixel;
    uint32_t colourType;
    ImageFormat code;
    uint32_t paletteEntries; // of a native-depth spool file
    uint32_t spoolBits;      // 16-bit samples lose their low byte
};

// Colour types: 0 bilevel, 1 grey, 2 RGB, 3 indexed.
constexpr PixelLayout layouts[] = {
    {48, 3, 2, FormatRgb48, 0, 24},     {24, 3, 2, FormatRgb24, 0, 24},    {16, 1, 1, FormatGray16, 256, 8},
    {8, 1, 1, FormatGray8, 256, 8},     {4, 1, 1, FormatGray4, 256, 4},    {1, 1, 0, FormatBilevel, 2, 1},
    {8, 1, 3, FormatIndexed8, 256, 8},  {4, 1, 3, FormatIndexed4, 16, 4},  {1, 1, 3, FormatIndexed1, 2, 1},
};

} // namespace

ImageFormat ClassifyPixels(uint32_t bitsPerPixel, uint32_t samplesPerPixel, uint32_t colourType,
                           uint32_t mustBeZero)
{
    if (mustBeZero != 0) {
        return FormatNone;
    }
    for (const PixelLayout& layout : layouts) {
        if (layout.bitsPerPixel == bitsPerPixel && layout.samplesPerPixel == samplesPerPixel &&
            layout.colourType == colourType) {
            return layout.code;
        }
    }
    return FormatNone;
}

bool IsAcceptedFormat(uint32_t code)
{
    for (const PixelLayout& layout : layouts) {
        if (layout.code == code) {
            return code != FormatGray4;
        }
    }
    return false;
}

uint32_t PaletteEntries(uint32_t code)
{
    for (const PixelLayout& layout : layouts) {
        if (layout.code == code) {
            return layout.paletteEntries;
        }
    }
    return 0;
}

bool IsRgbFormat(uint32_t code)
{
    return code == FormatRgb24 || code == FormatRgb48;
}

uint32_t SpoolBitDepth(uint32_t code, uint32_t imageBitsPerPixel)
{
    for (const PixelLayout& layout : layouts) {
        if (layout.code == code) {
            return layout.spoolBits;
        }
    }
    return imageBitsPerPixel & 0xFFFF;
}

} // namespace vlexif
