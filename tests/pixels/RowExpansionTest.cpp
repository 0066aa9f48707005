#include "pixels/RowExpansion.h"

#include "pixels/PixelFormat.h"
#include "tests/pixels/EachSimdLevel.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vlexif {
namespace {

struct Palette {
    PaletteEntry table[PaletteCapacity] = {};
};

// The plain per-pixel rule, written independently of the fast kernels.
uint8_t ReferenceIndex(uint32_t bits, const uint8_t* line, int32_t j)
{
    switch (bits) {
    case 16:
        return line[2 * j + 1];
    case 8:
        return line[j];
    case 4:
        return j % 2 == 0 ? line[j / 2] >> 4 : line[j / 2] & 0x0F;
    default:
        return (line[j / 8] >> (7 - j % 8)) & 1;
    }
}

std::vector<uint8_t> ReferenceExpand(uint32_t bits, bool grey, const HostBlock& block, const Palette& palette)
{
    const uint32_t stride = RowStride(static_cast<uint32_t>(block.width), 24);
    std::vector<uint8_t> out(static_cast<size_t>(block.lines) * stride, 0);
    for (int32_t r = 0; r < block.lines; ++r) {
        const uint8_t* line = block.data + static_cast<size_t>(r) * block.bytesPerLine;
        uint8_t* row = out.data() + static_cast<size_t>(block.lines - 1 - r) * stride;
        for (int32_t j = 0; j < block.width; ++j) {
            const uint8_t k = ReferenceIndex(bits, line, j);
            if (grey) {
                row[3 * j] = row[3 * j + 1] = row[3 * j + 2] = k;
            } else {
                row[3 * j] = palette.table[k].blue;
                row[3 * j + 1] = palette.table[k].green;
                row[3 * j + 2] = palette.table[k].red;
            }
        }
    }
    return out;
}

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

TEST(RowExpansion, EveryVariantMatchesThePlainRuleOnRandomBlocks)
{
    std::mt19937 random(20261207);
    Palette palette;
    for (PaletteEntry& entry : palette.table) {
        entry = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), 0};
    }
    const struct {
        Kind kind;
        uint32_t bits;
        bool grey;
    } kinds[] = {{Kind::Gray8, 8, true},
                 {Kind::Indexed8, 8, false},
                 {Kind::Gray16, 16, false},
                 {Kind::Indexed4, 4, false},
                 {Kind::Bit1, 1, false}};
    ForEachSimdLevel([&] {
        for (const auto& k : kinds) {
            for (int trial = 0; trial < VariantTrials; ++trial) {
                const int32_t width = VariantWidth(trial, random());
                const int32_t lines = 1 + static_cast<int32_t>(random() % 3);
                const int32_t bytesPerLine =
                    static_cast<int32_t>((static_cast<uint32_t>(width) * k.bits + 7) / 8 + random() % 4);
                const std::vector<uint8_t> source = RandomLines(random, lines, bytesPerLine);
                const HostBlock block{source.data(), bytesPerLine, width, lines, 0};
                ASSERT_EQ(FastExpand(k.kind, block, palette), ReferenceExpand(k.bits, k.grey, block, palette))
                    << "bits " << k.bits << " width " << width << " lines " << lines;
            }
        }
    });
}

} // namespace
} // namespace vlexif
