#include "pixels/HostBlock.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

constexpr SourceWalk Rgb24Walk{SourceWalk::ByStride, 24, 24, false};
constexpr SourceWalk Indexed8Walk{SourceWalk::ByWidth, 8, 8, true};
constexpr SourceWalk Gray8Walk{SourceWalk::ByStride, 8, 8, true};
constexpr SourceWalk Rgb48Walk{SourceWalk::ByBytesPerLine, 0, 48, false};
constexpr SourceWalk Expand1Walk{SourceWalk::ByBytesPerLine, 0, 1, false};

const uint8_t SomeData[1] = {};

HostBlock Block(int32_t bytesPerLine, int32_t width, int32_t lines, int32_t before = 0)
{
    return HostBlock{SomeData, bytesPerLine, width, lines, before};
}

TEST(SourceCoversWalk, TightlyPackedRgb24LinesAreRefusedBeyondOneLine)
{
    // Width 5: 15 pixel bytes a line, but the converter steps 16 bytes.
    EXPECT_TRUE(SourceCoversWalk(Rgb24Walk, Block(15, 5, 1)));
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, Block(15, 5, 2)));
    EXPECT_TRUE(SourceCoversWalk(Rgb24Walk, Block(16, 5, 2)));
    // Width 4 packs exactly into the stride.
    EXPECT_TRUE(SourceCoversWalk(Rgb24Walk, Block(12, 4, 7)));
}

TEST(SourceCoversWalk, CopyConvertersReadAWholeStrideOfTheLastLine)
{
    // 8-bit palette lines lie `width` apart, but every row copies a stride.
    EXPECT_FALSE(SourceCoversWalk(Indexed8Walk, Block(5, 5, 3))); // 2*5 + 8 > 15
    EXPECT_TRUE(SourceCoversWalk(Indexed8Walk, Block(6, 5, 3)));  // 2*5 + 8 <= 18
    EXPECT_TRUE(SourceCoversWalk(Gray8Walk, Block(8, 5, 3)));
    EXPECT_FALSE(SourceCoversWalk(Gray8Walk, Block(7, 5, 3)));
}

TEST(SourceCoversWalk, LinesSteppedByTheHostMustHoldTheirPixels)
{
    EXPECT_TRUE(SourceCoversWalk(Rgb48Walk, Block(6, 1, 4)));
    EXPECT_FALSE(SourceCoversWalk(Rgb48Walk, Block(5, 1, 4)));
    EXPECT_TRUE(SourceCoversWalk(Expand1Walk, Block(2, 9, 4)));
    EXPECT_FALSE(SourceCoversWalk(Expand1Walk, Block(1, 9, 4)));
}

TEST(SourceCoversWalk, NegativeValuesAreRefusedEmptyBlocksPass)
{
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, Block(-4, 1, 1)));
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, Block(4, -1, 1)));
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, Block(4, 1, -1)));
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, Block(4, 1, 1, -1)));
    EXPECT_TRUE(SourceCoversWalk(Rgb24Walk, Block(0, 0, 5)));
    EXPECT_TRUE(SourceCoversWalk(Rgb24Walk, Block(0, 5, 0)));
}

TEST(SourceCoversWalk, NoDataCoversNothing)
{
    HostBlock block = Block(16, 5, 1);
    block.data = nullptr;
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, block));
    block.lines = 0;
    EXPECT_TRUE(SourceCoversWalk(Rgb24Walk, block));
}

TEST(SourceCoversWalk, HugeValuesDoNotWrapAround)
{
    EXPECT_FALSE(SourceCoversWalk(Rgb24Walk, Block(16, 0x0AAAAAAB, 2)));
    EXPECT_FALSE(SourceCoversWalk(Rgb48Walk, Block(0x7FFFFFFF, 0x7FFFFFFF, 2)));
}

TEST(BlockFitsPixelArea, RowsMustEndInsideThePixelArea)
{
    // 10 lines of stride 8.
    EXPECT_TRUE(BlockFitsPixelArea(Block(8, 2, 3, 7), 24, 80));
    EXPECT_FALSE(BlockFitsPixelArea(Block(8, 2, 3, 8), 24, 80));
    EXPECT_FALSE(BlockFitsPixelArea(Block(8, 2, 1, 0x7FFFFFFF), 24, 80));
    EXPECT_FALSE(BlockFitsPixelArea(Block(8, -2, 1, 0), 24, 80));
    // A width whose stride would wrap to 8 bytes in 32-bit arithmetic.
    EXPECT_FALSE(BlockFitsPixelArea(Block(8, 0x0AAAAAAB, 4, 0), 24, 0x7FFFFFFF));
    // Rows times stride past 64 bits, wrapping to less than a huge area.
    EXPECT_FALSE(BlockFitsPixelArea(Block(8, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 24, INT64_MAX));
}

} // namespace
} // namespace vlexif
