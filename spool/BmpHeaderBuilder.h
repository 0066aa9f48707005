// The head of a bottom-up BMP spool file as the plug-in builds it, in the
// layout interface/SpoolLayout.h describes. Platform-free.
#pragma once

#include "interface/SpoolLayout.h"

#include <cstdint>

namespace vlexif {

// The work block that holds either head while it is built and written.
constexpr uint32_t HeaderBlockSize = bmp::InfoHeadSize;

enum class HeaderLayout { Info, Core };

// File header plus bitmap header, and the size of one palette-area entry.
constexpr uint32_t HeaderBytes(HeaderLayout layout)
{
    return layout == HeaderLayout::Info ? bmp::InfoHeadSize : bmp::CoreHeadSize;
}
constexpr uint32_t PaletteEntryBytes(HeaderLayout layout)
{
    return layout == HeaderLayout::Info ? bmp::InfoPaletteEntrySize : bmp::CorePaletteEntrySize;
}
// Where the pixel area starts: after the headers and a palette area of `colours` entries.
constexpr uint32_t PixelDataOffset(HeaderLayout layout, uint32_t colours)
{
    return HeaderBytes(layout) + PaletteEntryBytes(layout) * colours;
}

struct HeaderImage {
    uint32_t xDpi;
    uint32_t yDpi;
    int32_t width;
    int32_t height;
    uint32_t bitCount; // spool bit depth
    uint32_t colours;  // palette entries
};

uint32_t PixelsPerMetre(uint32_t dotsPerInch);

// Write the whole info head (bmp::InfoHead) or core head (bmp::CoreHead) at
// the start of a zeroed block.
void BuildInfoHeaderBytes(const HeaderImage& image, uint8_t* block);
void BuildCoreHeaderBytes(const HeaderImage& image, uint8_t* block);

// Size in bytes of the pixel area; false for a side the info header cannot
// state or a file past a signed 64-bit file position. The header's 32-bit
// size fields state what does not fit them as 0 (bmp::SizeField).
[[nodiscard]] bool SpoolFileSizes(uint32_t pixelDataOffset, int64_t width, int64_t height, uint32_t bitCount,
                                  uint64_t& pixelAreaSize);

} // namespace vlexif
