#include "pixels/PixelFormat.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

TEST(ClassifyPixels, EachAcceptedLayoutHasItsCode)
{
    EXPECT_EQ(ClassifyPixels(24, 3, 2, 0), FormatRgb24);
    EXPECT_EQ(ClassifyPixels(48, 3, 2, 0), FormatRgb48);
    EXPECT_EQ(ClassifyPixels(8, 1, 1, 0), FormatGray8);
    EXPECT_EQ(ClassifyPixels(16, 1, 1, 0), FormatGray16);
    EXPECT_EQ(ClassifyPixels(1, 1, 0, 0), FormatBilevel);
    EXPECT_EQ(ClassifyPixels(1, 1, 3, 0), FormatIndexed1);
    EXPECT_EQ(ClassifyPixels(4, 1, 3, 0), FormatIndexed4);
    EXPECT_EQ(ClassifyPixels(8, 1, 3, 0), FormatIndexed8);
}

TEST(ClassifyPixels, MismatchedCombinationsAndTheMustBeZeroFieldAreRefused)
{
    EXPECT_EQ(ClassifyPixels(24, 3, 2, 1), FormatNone);
    EXPECT_EQ(ClassifyPixels(1, 1, 1, 0), FormatNone);   // 1-bit grey
    EXPECT_EQ(ClassifyPixels(16, 3, 2, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(48, 1, 1, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(8, 1, 2, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(24, 3, 3, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(24 + 0x10000, 3, 2, 0), FormatNone); // whole 32-bit values compare
}

TEST(ClassifyPixels, FourBitGreyClassifiesButIsNotAccepted)
{
    EXPECT_EQ(ClassifyPixels(4, 1, 1, 0), FormatGray4);
    EXPECT_FALSE(IsAcceptedFormat(FormatGray4));
    EXPECT_FALSE(IsAcceptedFormat(FormatNone));
    EXPECT_FALSE(IsAcceptedFormat(1025));
    EXPECT_TRUE(IsAcceptedFormat(FormatBilevel));
}

TEST(SpoolBitDepth, FollowsTheStoredFormatAndDropsTheLowByteOfSixteenBitSamples)
{
    EXPECT_EQ(SpoolBitDepth(FormatRgb48, 48), 24u);
    EXPECT_EQ(SpoolBitDepth(FormatGray16, 16), 8u);
    EXPECT_EQ(SpoolBitDepth(FormatIndexed4, 4), 4u);
    EXPECT_EQ(SpoolBitDepth(FormatRgb24, 0x10018), 24u);
    // The stored format decides, whatever the description says by now.
    EXPECT_EQ(SpoolBitDepth(FormatRgb24, 32), 24u);
    EXPECT_EQ(SpoolBitDepth(FormatIndexed1, 8), 1u);
    EXPECT_EQ(SpoolBitDepth(FormatNone, 0x10020), 32u);
}

TEST(RowStride, PadsPackedBitsToFourBytes)
{
    EXPECT_EQ(RowStride(100, 24), 300u);
    EXPECT_EQ(RowStride(1, 24), 4u);
    EXPECT_EQ(RowStride(2550, 8), 2552u);
    EXPECT_EQ(RowStride(2550, 1), 320u);
    EXPECT_EQ(RowStride(5, 24), 16u);
    EXPECT_EQ(RowStride(3, 4), 4u);
    EXPECT_EQ(RowStride(0x0AAAAAAB, 24), 536870916u);
}

TEST(PaletteEntries, MatchTheNativeFileLayouts)
{
    EXPECT_EQ(PaletteEntries(FormatRgb24), 0u);
    EXPECT_EQ(PaletteEntries(FormatGray16), 256u);
    EXPECT_EQ(PaletteEntries(FormatIndexed4), 16u);
    EXPECT_EQ(PaletteEntries(FormatBilevel), 2u);
    EXPECT_EQ(PaletteEntries(12345), 0u);
}

} // namespace
} // namespace vlexif
