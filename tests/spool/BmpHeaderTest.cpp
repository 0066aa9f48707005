#include "spool/BmpHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vlexif {
namespace {

std::vector<uint8_t> InfoHeader(const HeaderImage& image)
{
    std::vector<uint8_t> block(HeaderBlockSize, 0);
    BuildInfoHeaderBytes(image, block.data());
    return block;
}

TEST(BuildInfoHeader, TwentyFourBitHundredByThreeAt300Dpi)
{
    const std::vector<uint8_t> expected = {
        'B', 'M',                 // signature
        0xBA, 0x03, 0, 0,         // file size 954
        0, 0, 0, 0,               // reserved
        54, 0, 0, 0,              // pixel data offset
        40, 0, 0, 0,              // header size
        100, 0, 0, 0,             // width
        3, 0, 0, 0,               // height, bottom-up
        1, 0,                     // planes
        24, 0,                    // bit count
        0, 0, 0, 0,               // uncompressed
        0x84, 0x03, 0, 0,         // image size 900
        0x23, 0x2E, 0, 0,         // 11811 pixels per metre
        0x23, 0x2E, 0, 0,
        0, 0, 0, 0,               // colours used
        0, 0, 0, 0,               // colours important
    };
    EXPECT_EQ(InfoHeader({300, 300, 100, 3, 24, 0}), expected);
}

TEST(BuildInfoHeader, EightBitGreyHasAFullPaletteArea)
{
    const std::vector<uint8_t> block = InfoHeader({72, 600, 10, 2, 8, 256});
    EXPECT_EQ(HeaderPixelDataOffset(block.data()), 1078u);
    EXPECT_EQ(HeaderColoursUsed(block.data()), 256u);
    EXPECT_EQ(block[14 + 36], 0x00); // colours important = 256
    EXPECT_EQ(block[14 + 37], 0x01);
    EXPECT_EQ(block[38], 0x12); // 72 dpi: 2834 = 0x0B12
    EXPECT_EQ(block[39], 0x0B);
    EXPECT_EQ(block[42], 0x46); // 600 dpi: 23622 = 0x5C46
    EXPECT_EQ(block[43], 0x5C);
}

TEST(BuildCoreHeader, OneBitIndexedLeavesTheRestOfTheBlockZero)
{
    std::vector<uint8_t> block(HeaderBlockSize, 0);
    BuildCoreHeaderBytes({300, 300, 10, 4, 1, 2}, block.data());
    const std::vector<uint8_t> head = {
        'B', 'M', 48, 0, 0, 0,    // file size 32 + 4 rows of 4 bytes
        0, 0, 0, 0, 32, 0, 0, 0,  // reserved, pixel data offset
        12, 0, 0, 0, 10, 0, 4, 0, // header size, 16-bit width and height
        1, 0, 1, 0,               // planes, bit count
    };
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 26), head);
    for (size_t i = 26; i < block.size(); ++i) {
        EXPECT_EQ(block[i], 0) << "byte " << i;
    }
}

TEST(BuildCoreHeader, SizesFollowTheSixteenBitFields)
{
    std::vector<uint8_t> block(HeaderBlockSize, 0);
    BuildCoreHeaderBytes({0, 0, 0x10002, 1, 24, 0}, block.data());
    EXPECT_EQ(block[18], 2);
    EXPECT_EQ(block[19], 0);
    EXPECT_EQ(block[2], 26 + 8); // stride of width 2
}

TEST(PixelsPerMetre, TruncatesTheQuotient)
{
    EXPECT_EQ(PixelsPerMetre(72), 2834u);
    EXPECT_EQ(PixelsPerMetre(300), 11811u);
    EXPECT_EQ(PixelsPerMetre(600), 23622u);
    EXPECT_EQ(PixelsPerMetre(1200), 47244u);
}

TEST(SpoolFileSizes, RefusesWhatSignedFilePositionsCannotReach)
{
    uint32_t area = 0;
    ASSERT_TRUE(SpoolFileSizes(54, 2550, 3508, 24, area));
    EXPECT_EQ(area, 26843216u);
    EXPECT_TRUE(SpoolFileSizes(54, 100, 0, 24, area));
    EXPECT_EQ(area, 0u);
    EXPECT_FALSE(SpoolFileSizes(54, -1, 10, 24, area));
    EXPECT_FALSE(SpoolFileSizes(54, 10, -1, 24, area));
    EXPECT_FALSE(SpoolFileSizes(54, 0x7FFFFFFF, 1, 24, area));
    EXPECT_FALSE(SpoolFileSizes(54, 40000, 40000, 24, area));
    // The area alone fits, the header on top of it does not.
    EXPECT_TRUE(SpoolFileSizes(0, 4, 0x7FFFFFFF / 12, 24, area));
    EXPECT_FALSE(SpoolFileSizes(54, 4, 0x7FFFFFFF / 12, 24, area));
}

} // namespace
} // namespace vlexif
