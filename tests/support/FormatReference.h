// What each pixel format a host can describe is, and the rows the plug-in must
// make of its lines, written from the host's description of a pixel and the
// BMP file format rather than copied from the plug-in's tables, so that a
// wrong entry there fails whatever checks against this. Header-only and
// platform-free: the native tests, the Wine tests and the fuzz targets read it.
#pragma once

#include "pixels/PixelFormat.h"

#include <cstdint>
#include <cstring>

namespace vlexif::test {

struct FormatReference {
    const char* name;
    ImageFormat code; // what the format check stores
    // The host's description: bits per pixel, samples per pixel and colour
    // type (0 bilevel, 1 grey, 2 RGB, 3 indexed).
    uint32_t bits, samples, colourType;
    // The native-depth spool file: its bits per pixel and palette entries.
    uint32_t spoolBits, colours;
    // How a host line becomes a native row: red and blue swapped into BMP
    // order; the high byte of each 16-bit sample (stored low byte first) kept,
    // RGB into BMP order; or the line's bytes copied for a whole row.
    enum Rule { Swap, Rgb48, Gray16, Copy, NoRows } rule;
    // How far apart the lines the native writer reads start: a BMP stride at
    // the host's depth, `width` bytes (8-bit palette lines), or bytesPerLine.
    enum Step { ByStride, ByWidth, ByLine } step;
    // In the 24-bit rows, a pixel's value picks a palette colour; without,
    // an 8-bit grey is its own level and RGB its own colour.
    bool usesPalette;
};

// The formats the plug-in accepts.
inline constexpr FormatReference AcceptedFormats[] = {
    {"rgb24", FormatRgb24, 24, 3, 2, 24, 0, FormatReference::Swap, FormatReference::ByStride, false},
    {"rgb48", FormatRgb48, 48, 3, 2, 24, 0, FormatReference::Rgb48, FormatReference::ByLine, false},
    {"gray8", FormatGray8, 8, 1, 1, 8, 256, FormatReference::Copy, FormatReference::ByStride, false},
    {"gray16", FormatGray16, 16, 1, 1, 8, 256, FormatReference::Gray16, FormatReference::ByLine, true},
    {"indexed8", FormatIndexed8, 8, 1, 3, 8, 256, FormatReference::Copy, FormatReference::ByWidth, true},
    {"indexed4", FormatIndexed4, 4, 1, 3, 4, 16, FormatReference::Copy, FormatReference::ByStride, true},
    {"indexed1", FormatIndexed1, 1, 1, 3, 1, 2, FormatReference::Copy, FormatReference::ByStride, true},
    {"bilevel", FormatBilevel, 1, 1, 0, 1, 2, FormatReference::Copy, FormatReference::ByStride, true},
};

// Classified, then refused: a host that begins an image anyway gets a file of
// 4-bit rows behind a 256-entry palette area like the other greys', and no
// block is ever written into it.
inline constexpr FormatReference RefusedGray4 = {
    "gray4", FormatGray4, 4, 1, 1, 4, 256, FormatReference::NoRows, FormatReference::ByLine, false};

// One-sample pixels, grey, palette or bilevel, are expanded to blue, green,
// red; RGB pixels are spooled as they come.
inline bool IsExpanded(const FormatReference& format)
{
    return format.samples == 1;
}

// Bytes of a BMP row: whole bytes, padded to a multiple of 4.
inline uint32_t Stride(uint32_t width, uint32_t bits)
{
    return static_cast<uint32_t>((uint64_t{width} * bits + 31) / 32 * 4);
}

// Distance between the starts of the lines the native writer reads.
inline uint32_t LineDistance(const FormatReference& format, uint32_t width, uint32_t bytesPerLine)
{
    switch (format.step) {
    case FormatReference::ByStride:
        return Stride(width, format.bits);
    case FormatReference::ByWidth:
        return width;
    case FormatReference::ByLine:
        break;
    }
    return bytesPerLine;
}

// The native row of one host line, into a zeroed row of `stride` bytes.
inline void NativeRow(const FormatReference& format, const uint8_t* line, uint32_t width, uint8_t* row, uint32_t stride)
{
    for (uint32_t j = 0; j < width; ++j) {
        switch (format.rule) {
        case FormatReference::Swap:
            row[3 * j] = line[3 * j + 2];
            row[3 * j + 1] = line[3 * j + 1];
            row[3 * j + 2] = line[3 * j];
            break;
        case FormatReference::Rgb48:
            row[3 * j] = line[6 * j + 5];
            row[3 * j + 1] = line[6 * j + 3];
            row[3 * j + 2] = line[6 * j + 1];
            break;
        case FormatReference::Gray16:
            row[j] = line[2 * j + 1];
            break;
        case FormatReference::Copy:
        case FormatReference::NoRows:
            break;
        }
    }
    if (format.rule == FormatReference::Copy) {
        std::memcpy(row, line, stride);
    }
}

// Blue, green, red of pixel j of a host line in the 24-bit rows, through
// `table` (blue, green, red, 0 an entry) where the format uses one.
inline void ExpandedPixel(const FormatReference& format, const uint8_t* line, uint32_t j, const uint8_t* table,
                          uint8_t* bgr)
{
    if (!IsExpanded(format)) {
        // Red, green, blue reversed, each sample its last (high) byte.
        const uint32_t sampleBytes = format.bits / 24;
        for (uint32_t k = 0; k < 3; ++k) {
            bgr[k] = line[sampleBytes * (3 * j + 3 - k) - 1];
        }
        return;
    }
    uint32_t value = 0;
    switch (format.bits) {
    case 16:
        value = line[2 * j + 1];
        break;
    case 8:
        value = line[j];
        break;
    case 4:
        value = j % 2 == 0 ? line[j / 2] >> 4 : line[j / 2] & 0x0F;
        break;
    default:
        value = (line[j / 8] >> (7 - j % 8)) & 1;
        break;
    }
    if (format.usesPalette) {
        std::memcpy(bgr, table + 4 * value, 3);
    } else {
        bgr[0] = bgr[1] = bgr[2] = static_cast<uint8_t>(value);
    }
}

} // namespace vlexif::test
