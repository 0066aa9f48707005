#include "pixels/PixelFormat.h"

namespace vlexif {

namespace {

constexpr PixelLayout Layouts[] = {
    {48, 3, 2, FormatRgb48, 0, 24},    {24, 3, 2, FormatRgb24, 0, 24},   {16, 1, 1, FormatGray16, 256, 8},
    {8, 1, 1, FormatGray8, 256, 8},    {4, 1, 1, FormatGray4, 256, 4},   {1, 1, 0, FormatBilevel, 2, 1},
    {8, 1, 3, FormatIndexed8, 256, 8}, {4, 1, 3, FormatIndexed4, 16, 4}, {1, 1, 3, FormatIndexed1, 2, 1},
};

} // namespace

const PixelLayoutTable& PixelLayouts()
{
    return Layouts;
}

ImageFormat ClassifyPixels(uint32_t bitsPerPixel, uint32_t samplesPerPixel, uint32_t colourType, uint32_t mustBeZero)
{
    if (mustBeZero != 0) {
        return FormatNone;
    }
    for (const PixelLayout& layout : Layouts) {
        if (layout.bitsPerPixel == bitsPerPixel && layout.samplesPerPixel == samplesPerPixel &&
            layout.colourType == colourType) {
            return layout.code;
        }
    }
    return FormatNone;
}

bool IsAcceptedFormat(uint32_t code)
{
    return FindFormatRow(Layouts, code) && code != FormatGray4;
}

uint32_t PaletteEntries(uint32_t code)
{
    const PixelLayout* layout = FindFormatRow(Layouts, code);
    return layout ? layout->paletteEntries : 0;
}

bool IsRgbFormat(uint32_t code)
{
    return code == FormatRgb24 || code == FormatRgb48;
}

uint32_t SpoolBitDepth(uint32_t code, uint32_t imageBitsPerPixel)
{
    const PixelLayout* layout = FindFormatRow(Layouts, code);
    return layout ? layout->spoolBits : imageBitsPerPixel & 0xFFFF;
}

} // namespace vlexif
