#include "spool/BmpHeaderBuilder.h"

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
        'B',  'M',                    // signature
        0xBA, 0x03, 0, 0,             // file size 954
        0,    0,    0, 0,             // reserved
        54,   0,    0, 0,             // pixel data offset
        40,   0,    0, 0,             // header size
        100,  0,    0, 0,             // width
        3,    0,    0, 0,             // height, bottom-up
        1,    0,                      // planes
        24,   0,                      // bit count
        0,    0,    0, 0,             // uncompressed
        0x84, 0x03, 0, 0,             // image size 900
        0x23, 0x2E, 0, 0,             // 11811 pixels per metre
        0x23, 0x2E, 0, 0, 0, 0, 0, 0, // colours used
        0,    0,    0, 0,             // colours important
    };
    EXPECT_EQ(InfoHeader({300, 300, 100, 3, 24, 0}), expected);
}

TEST(BuildInfoHeader, EightBitGreyHasAFullPaletteArea)
{
    // Fields by value: gtest would bind a reference to a packed member.
    const bmp::InfoHead head = bmp::Read<bmp::InfoHead>(InfoHeader({72, 600, 10, 2, 8, 256}).data());
    EXPECT_EQ(uint32_t{head.file.pixelDataOffset}, 1078u);
    EXPECT_EQ(uint32_t{head.info.coloursUsed}, 256u);
    EXPECT_EQ(uint32_t{head.info.coloursImportant}, 256u);
    EXPECT_EQ(int32_t{head.info.xPixelsPerMetre}, 2834);
    EXPECT_EQ(int32_t{head.info.yPixelsPerMetre}, 23622);
}

TEST(BuildCoreHeader, OneBitIndexedLeavesTheRestOfTheBlockZero)
{
    std::vector<uint8_t> block(HeaderBlockSize, 0);
    BuildCoreHeaderBytes({300, 300, 10, 4, 1, 2}, block.data());
    const std::vector<uint8_t> head = {
        'B', 'M', 48, 0, 0,  0,       // file size 32 + 4 rows of 4 bytes
        0,   0,   0,  0, 32, 0, 0, 0, // reserved, pixel data offset
        12,  0,   0,  0, 10, 0, 4, 0, // header size, 16-bit width and height
        1,   0,   1,  0,              // planes, bit count
    };
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + bmp::CoreHeadSize), head);
    for (size_t i = bmp::CoreHeadSize; i < block.size(); ++i) {
        EXPECT_EQ(block[i], 0) << "byte " << i;
    }
}

TEST(BuildCoreHeader, SizesFollowTheSixteenBitFields)
{
    std::vector<uint8_t> block(HeaderBlockSize, 0);
    BuildCoreHeaderBytes({0, 0, 0x10002, 1, 24, 0}, block.data());
    const bmp::CoreHead head = bmp::Read<bmp::CoreHead>(block.data());
    EXPECT_EQ(uint16_t{head.core.width}, 2);
    EXPECT_EQ(uint32_t{head.file.fileSize}, bmp::CoreHeadSize + 8); // stride of width 2
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
    const uint32_t headers = bmp::InfoHeadSize;
    uint32_t area = 0;
    ASSERT_TRUE(SpoolFileSizes(headers, 2550, 3508, 24, area));
    EXPECT_EQ(area, 26843216u);
    EXPECT_TRUE(SpoolFileSizes(headers, 100, 0, 24, area));
    EXPECT_EQ(area, 0u);
    EXPECT_FALSE(SpoolFileSizes(headers, -1, 10, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 10, -1, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 0x7FFFFFFF, 1, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 40000, 40000, 24, area));
    // The area alone fits, the header on top of it does not.
    EXPECT_TRUE(SpoolFileSizes(0, 4, 0x7FFFFFFF / 12, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 4, 0x7FFFFFFF / 12, 24, area));
}

} // namespace
} // namespace vlexif
