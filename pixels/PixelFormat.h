// Pixel formats: the host's description of a pixel classified into one code,
// and what each code means for spooling. Platform-free.
#pragma once

#include "interface/SpoolLayout.h"

#include <cstddef>
#include <cstdint>

namespace vlexif {

enum ImageFormat : uint32_t {
    FormatNone = 0,
    FormatRgb24 = 1024,
    FormatRgb48 = 1048,
    FormatGray4 = 2004,
    FormatGray8 = 2008,
    FormatGray16 = 2016,
    FormatIndexed1 = 3001,
    FormatIndexed4 = 3004,
    FormatIndexed8 = 3008,
    FormatBilevel = 4000,
};

// One row of the classification table: a host's description of a pixel, the
// code it is stored as, and its native-depth spool file.
struct PixelLayout {
    uint32_t bitsPerPixel;
    uint32_t samplesPerPixel;
    uint32_t colourType; // 0 bilevel, 1 grey, 2 RGB, 3 indexed
    ImageFormat code;
    uint32_t paletteEntries;
    uint32_t spoolBits; // 16-bit samples lose their low byte
};

// Every format the classification knows, in the order it tries them; the
// compiler holds the count to the table's own.
using PixelLayoutTable = PixelLayout[9];
const PixelLayoutTable& PixelLayouts();

// The row of a table keyed by format code for `code`, or null.
template <class Row, size_t Count>
const Row* FindFormatRow(const Row (&rows)[Count], uint32_t code)
{
    for (const Row& row : rows) {
        if (row.code == code) {
            return &row;
        }
    }
    return nullptr;
}

// The first format whose bits, samples and colour type all match, or
// FormatNone when none does or the must-be-zero field is set.
ImageFormat ClassifyPixels(uint32_t bitsPerPixel, uint32_t samplesPerPixel, uint32_t colourType, uint32_t mustBeZero);

// Formats the plug-in can spool; FormatGray4 classifies but is refused.
bool IsAcceptedFormat(uint32_t code);

bool IsRgbFormat(uint32_t code);

// Palette entries of the format's native-depth spool file; 0 for RGB and for
// codes outside the table.
uint32_t PaletteEntries(uint32_t code);

// Bits per pixel of the native-depth spool file of a stored format: the 16-bit
// samples lose their low byte, every other format keeps its own depth. Only a
// code outside the table takes the image description's depth.
uint32_t SpoolBitDepth(uint32_t code, uint32_t imageBitsPerPixel);

// Bytes of one BMP row, by the spool file's rule.
using bmp::RowStride;
using bmp::WideRowStride;

} // namespace vlexif
