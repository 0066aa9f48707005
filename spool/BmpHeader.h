// The head of a bottom-up BMP spool file, byte for byte: the 14-byte file
// header followed by either the 40-byte info header or the 12-byte core header.
// Platform-free.
#pragma once

#include <cstdint>

namespace vlexif {

constexpr uint32_t FileHeaderSize = 14;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t CoreHeaderSize = 12;
// The work block that holds either header while it is built and written.
constexpr uint32_t HeaderBlockSize = FileHeaderSize + InfoHeaderSize;

enum class HeaderLayout { Info, Core };

// File header plus bitmap header, and the size of one palette-area entry.
constexpr uint32_t HeaderBytes(HeaderLayout layout)
{
    return FileHeaderSize + (layout == HeaderLayout::Info ? InfoHeaderSize : CoreHeaderSize);
}
constexpr uint32_t PaletteEntryBytes(HeaderLayout layout)
{
    return layout == HeaderLayout::Info ? 4 : 3;
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
    uint32_t bitCount;  // spool bit depth
    uint32_t colours;   // palette entries
};

uint32_t PixelsPerMetre(uint32_t dotsPerInch);

// Fill offsets 0..53 (info layout) or 0..25 (core layout) of a zeroed block.
void BuildInfoHeaderBytes(const HeaderImage& image, uint8_t* block);
void BuildCoreHeaderBytes(const HeaderImage& image, uint8_t* block);

// Fields read back from a built header block.
uint32_t HeaderPixelDataOffset(const uint8_t* block);
uint32_t HeaderColoursUsed(const uint8_t* block);

// Size in bytes of the pixel area; false when it, or the whole file, would
// not fit a signed 32-bit file position.
[[nodiscard]] bool SpoolFileSizes(uint32_t pixelDataOffset, int64_t width, int64_t height, uint32_t bitCount,
                                  uint32_t& pixelAreaSize);

} // namespace vlexif
