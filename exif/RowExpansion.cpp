#include "exif/RowExpansion.h"

#include "spool/RowFrame.h"

#include <cstddef>
#include <cstring>

namespace vlexif {

namespace {

// A pixel's blue, green, red in the low three bytes, zero above.
using Colour = uint32_t;

Colour ColourOf(const PaletteEntry& entry)
{
    return entry.blue | entry.green << 8 | static_cast<Colour>(entry.red) << 16;
}

// Writes width pixels looked up by `indexOf`, four at a time as three 32-bit
// words (twelve bytes, blue, green, red each), the rest one by one.
template <class IndexOf>
void WriteLookedUpRow(const Colour* colours, int32_t width, uint8_t* row, IndexOf indexOf)
{
    int32_t j = 0;
    for (; j + 4 <= width; j += 4, row += 12) {
        const Colour c0 = colours[indexOf(j)];
        const Colour c1 = colours[indexOf(j + 1)];
        const Colour c2 = colours[indexOf(j + 2)];
        const Colour c3 = colours[indexOf(j + 3)];
        const uint32_t w0 = c0 | c1 << 24;
        const uint32_t w1 = c1 >> 8 | c2 << 16;
        const uint32_t w2 = c2 >> 16 | c3 << 8;
        std::memcpy(row, &w0, 4);
        std::memcpy(row + 4, &w1, 4);
        std::memcpy(row + 8, &w2, 4);
    }
    for (; j < width; ++j, row += 3) {
        std::memcpy(row, &colours[indexOf(j)], 3);
    }
}

struct ColourTable {
    explicit ColourTable(const PaletteEntry (&table)[PaletteCapacity])
    {
        for (uint32_t i = 0; i < PaletteCapacity; ++i) {
            colours[i] = ColourOf(table[i]);
        }
    }
    Colour colours[PaletteCapacity];
};

// The rows of one source byte's pixels, precomputed per block: each of the
// 256 byte values maps to its `pixelsPerByte` pixels as ready BGR bytes.
template <int PixelsPerByte>
struct ByteExpansion {
    static constexpr int bits = 8 / PixelsPerByte;
    static constexpr std::ptrdiff_t bytesOut = std::ptrdiff_t{3} * PixelsPerByte;

    explicit ByteExpansion(const ColourTable& table)
    {
        for (int value = 0; value < 256; ++value) {
            for (int k = 0; k < PixelsPerByte; ++k) {
                const int index = (value >> (8 - bits * (k + 1))) & ((1 << bits) - 1);
                std::memcpy(&pixels[value][3 * k], &table.colours[index], 3);
            }
        }
    }

    void WriteRow(const uint8_t* source, int32_t width, uint8_t* row) const
    {
        const int32_t wholeBytes = width / PixelsPerByte;
        for (int32_t i = 0; i < wholeBytes; ++i) {
            std::memcpy(row + bytesOut * i, pixels[source[i]], bytesOut);
        }
        const int32_t rest = width % PixelsPerByte;
        if (rest != 0) {
            std::memcpy(row + bytesOut * wholeBytes, pixels[source[wholeBytes]], 3 * rest);
        }
    }

    uint8_t pixels[256][bytesOut];
};

// Built by the compiler: a static built at first use would take the C++
// runtime's guard lock, a semaphore the DLL never gives back.
struct GreyTable {
    constexpr GreyTable()
    {
        for (uint32_t v = 0; v < 256; ++v) {
            colours[v] = v * 0x010101u;
        }
    }
    Colour colours[256] = {};
};

constexpr GreyTable grey;

} // namespace

void ExpandGray8Rows(const HostBlock& block, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, static_cast<uint32_t>(block.bytesPerLine), out, outStride,
                       [width](const uint8_t* s, uint8_t* d) {
                           WriteLookedUpRow(grey.colours, width, d, [s](int32_t j) { return s[j]; });
                       });
}

void ExpandIndexed8Rows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity],
                        uint8_t* out, uint32_t outStride)
{
    const ColourTable colours(table);
    const int32_t width = block.width;
    ForEachRowBottomUp(block, static_cast<uint32_t>(block.bytesPerLine), out, outStride,
                       [&colours, width](const uint8_t* s, uint8_t* d) {
                           WriteLookedUpRow(colours.colours, width, d, [s](int32_t j) { return s[j]; });
                       });
}

void ExpandGray16Rows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity],
                      uint8_t* out, uint32_t outStride)
{
    const ColourTable colours(table);
    const int32_t width = block.width;
    ForEachRowBottomUp(block, static_cast<uint32_t>(block.bytesPerLine), out, outStride,
                       [&colours, width](const uint8_t* s, uint8_t* d) {
                           WriteLookedUpRow(colours.colours, width, d,
                                            [s](int32_t j) { return s[2 * j + 1]; });
                       });
}

void Expand4BitRows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity],
                    uint8_t* out, uint32_t outStride)
{
    const ByteExpansion<2> expansion{ColourTable(table)};
    const int32_t width = block.width;
    ForEachRowBottomUp(block, static_cast<uint32_t>(block.bytesPerLine), out, outStride,
                       [&expansion, width](const uint8_t* s, uint8_t* d) { expansion.WriteRow(s, width, d); });
}

void Expand1BitRows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity],
                    uint8_t* out, uint32_t outStride)
{
    const ByteExpansion<8> expansion{ColourTable(table)};
    const int32_t width = block.width;
    ForEachRowBottomUp(block, static_cast<uint32_t>(block.bytesPerLine), out, outStride,
                       [&expansion, width](const uint8_t* s, uint8_t* d) { expansion.WriteRow(s, width, d); });
}

} // namespace vlexif
