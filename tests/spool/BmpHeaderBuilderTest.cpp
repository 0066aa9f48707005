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
    uint64_t area = 0;
    ASSERT_TRUE(SpoolFileSizes(headers, 2550, 3508, 24, area));
    EXPECT_EQ(area, 26843216u);
    ASSERT_TRUE(SpoolFileSizes(headers, 65500, 65500, 24, area));
    EXPECT_EQ(area, 12870750000u);
    EXPECT_TRUE(SpoolFileSizes(headers, 100, 0, 24, area));
    EXPECT_EQ(area, 0u);
    EXPECT_FALSE(SpoolFileSizes(headers, -1, 10, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 10, -1, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 10, 0x80000000ll, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 0x80000000ll, 1, 24, area));
    EXPECT_TRUE(SpoolFileSizes(headers, 0x7FFFFFFF, 0x7FFFFFFF, 8, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 0x7FFFFFFF, 0x7FFFFFFF, 24, area));
    // The area alone fits 63 bits, 31 bytes to spare; the header on top does not.
    EXPECT_TRUE(SpoolFileSizes(0, 0x7FFFFFFC, 1431655768, 24, area));
    EXPECT_FALSE(SpoolFileSizes(headers, 0x7FFFFFFC, 1431655768, 24, area));
}

// The 32-bit size fields state a size exactly when it fits, else 0.
TEST(BuildInfoHeader, SizesPast32BitsAreStatedAsZero)
{
    const struct {
        int32_t width, height;
        uint32_t fileSize, imageSize;
    } rows[] = {
        {1, 1073741809, 4294967290u, 4294967236u}, // both fit, to the last 5 bytes
        {1, 1073741823, 0, 4294967292u},           // the rows fit, the file does not
        {65500, 65500, 0, 0},                      // 12.9 GB
    };
    for (const auto& row : rows) {
        const bmp::InfoHead head =
            bmp::Read<bmp::InfoHead>(InfoHeader({300, 300, row.width, row.height, 24, 0}).data());
        EXPECT_EQ(uint32_t{head.file.fileSize}, row.fileSize) << row.height;
        EXPECT_EQ(uint32_t{head.info.imageSize}, row.imageSize) << row.height;
    }
}

} // namespace
} // namespace vlexif
