// Worked examples of the 24-bit expansions; every variant against the
// reference is in FormatRowsTest.cpp.
#include "pixels/RowExpansion.h"

#include "pixels/PixelFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlexif {
namespace {

struct Palette {
    PaletteEntry table[PaletteCapacity] = {};
};

enum class Kind { Gray8, Indexed8, Gray16, Indexed4, Bit1 };

std::vector<uint8_t> FastExpand(Kind kind, const HostBlock& block, const Palette& palette)
{
    const uint32_t stride = RowStride(static_cast<uint32_t>(block.width), 24);
    std::vector<uint8_t> out(static_cast<size_t>(block.lines) * stride, 0);
    switch (kind) {
    case Kind::Gray8:
        ExpandGray8Rows(block, out.data(), stride);
        break;
    case Kind::Indexed8:
        ExpandIndexed8Rows(block, palette.table, out.data(), stride);
        break;
    case Kind::Gray16:
        ExpandGray16Rows(block, palette.table, out.data(), stride);
        break;
    case Kind::Indexed4:
        Expand4BitRows(block, palette.table, out.data(), stride);
        break;
    case Kind::Bit1:
        Expand1BitRows(block, palette.table, out.data(), stride);
        break;
    }
    return out;
}

TEST(RowExpansion, WorkedExamples)
{
    Palette palette;
    palette.table[1] = {1, 2, 3, 0};
    palette.table[0x12] = {7, 8, 9, 0};

    const std::vector<uint8_t> grey = {0x10, 0, 0, 0, 0x20, 0, 0, 0};
    EXPECT_EQ(FastExpand(Kind::Gray8, {grey.data(), 4, 1, 2, 0}, palette),
              (std::vector<uint8_t>{0x20, 0x20, 0x20, 0, 0x10, 0x10, 0x10, 0}));

    const std::vector<uint8_t> bilevel = {0x80, 0x40};
    const std::vector<uint8_t> row = FastExpand(Kind::Bit1, {bilevel.data(), 2, 10, 1, 0}, palette);
    for (int j = 0; j < 10; ++j) {
        EXPECT_EQ(row[3 * j], (j == 0 || j == 9) ? 1 : 0) << "pixel " << j;
    }

    const std::vector<uint8_t> gray16 = {0x34, 0x12};
    EXPECT_EQ(FastExpand(Kind::Gray16, {gray16.data(), 2, 1, 1, 0}, palette), (std::vector<uint8_t>{7, 8, 9, 0}));
}

TEST(RowExpansion, FourBitTakesTheLeftPixelFromTheHighNibble)
{
    Palette palette;
    for (int i = 0; i < 16; ++i) {
        palette.table[i] = {static_cast<uint8_t>(i), 0, 0, 0};
    }
    const std::vector<uint8_t> line = {0x12, 0x30};
    const std::vector<uint8_t> row = FastExpand(Kind::Indexed4, {line.data(), 2, 3, 1, 0}, palette);
    EXPECT_EQ(row[0], 1);
    EXPECT_EQ(row[3], 2);
    EXPECT_EQ(row[6], 3);
}

TEST(RowExpansion, ExtraBytesAtTheEndOfSourceLinesAreSkipped)
{
    Palette palette;
    const std::vector<uint8_t> lines = {5, 99, 99, 6, 99, 99};
    EXPECT_EQ(FastExpand(Kind::Gray8, {lines.data(), 3, 1, 2, 0}, palette),
              (std::vector<uint8_t>{6, 6, 6, 0, 5, 5, 5, 0}));
}

} // namespace
} // namespace vlexif
