#include "converter/files/BmpHeaderParser.h"
#include "tests/converter/TestBmp.h"

#include <gtest/gtest.h>

#include <climits>

namespace vkexf {
namespace {

using test::BmpSpec;
using test::MakeBmp;

BmpError Parse(const std::vector<uint8_t>& file, BmpLayout& layout, uint64_t fileSize)
{
    return ParseBmpHeader(file.data(), std::min<size_t>(file.size(), bmp::InfoHeadSize), fileSize, layout);
}

BmpLayout Parsed(const BmpSpec& spec)
{
    const auto file = MakeBmp(spec);
    BmpLayout layout;
    EXPECT_EQ(Parse(file, layout, file.size()), BmpError::None);
    return layout;
}

TEST(BmpHeader, ReadsBothLayoutsAndRowOrders)
{
    BmpLayout info = Parsed({false, 5, 3, false, 11811});
    EXPECT_EQ(info.width, 5u);
    EXPECT_EQ(info.height, 3u);
    EXPECT_FALSE(info.topDown);
    EXPECT_EQ(info.pixelOffset, 54u);
    EXPECT_EQ(info.xPixelsPerMetre, 11811);
    EXPECT_EQ(info.yPixelsPerMetre, 11811);

    BmpLayout topDown = Parsed({false, 2, 7, true, 0});
    EXPECT_TRUE(topDown.topDown);
    EXPECT_EQ(topDown.height, 7u);

    // 1x1 with a core header is 30 bytes, fewer than the info headers.
    BmpLayout core = Parsed({true, 1, 1, false, 0});
    EXPECT_EQ(core.pixelOffset, 26u);
    EXPECT_EQ(core.xPixelsPerMetre, 0);
    core = Parsed({true, 3, 4, false, 0});
    EXPECT_EQ(core.width, 3u);
    EXPECT_EQ(core.height, 4u);
    EXPECT_FALSE(core.topDown);
}

TEST(BmpHeader, RowsPadToFourBytes)
{
    const uint32_t expected[] = {4, 8, 12, 12, 16, 20, 24, 24};
    for (uint32_t width = 1; width <= 8; ++width) {
        EXPECT_EQ(Parsed({false, width, 1, false, 0}).stride, expected[width - 1]) << width;
    }
}

// Past 4 GiB the 32-bit size fields say 0: the sizes come from the
// dimensions, checked against the file's 64-bit size.
TEST(BmpHeader, AFilePast4GiBIsReadFromItsDimensions)
{
    auto file = MakeBmp({false, 7, 5, false, 0});
    test::ChangeInfoHead(file, [](bmp::InfoHead& h) {
        h.file.fileSize = 0;
        h.info.imageSize = 0;
        h.info.width = 65500;
        h.info.height = 65500;
    });
    const uint64_t size = 54 + 196500ull * 65500;
    BmpLayout layout;
    ASSERT_EQ(Parse(file, layout, size), BmpError::None);
    EXPECT_EQ(layout.stride, 196500u);
    EXPECT_EQ(layout.height, 65500u);
    EXPECT_EQ(Parse(file, layout, size - 1), BmpError::PixelArea);
}

struct Malformed {
    const char* name;
    void (*change)(bmp::InfoHead&); // null to change only the file size
    int64_t sizeChange;
    BmpError expected;
};

void PrintTo(const Malformed& malformed, std::ostream* out)
{
    *out << malformed.name;
}

class MalformedBmp : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedBmp, IsRefused)
{
    const Malformed& damage = GetParam();
    auto file = MakeBmp({false, 7, 5, false, 0});
    if (damage.change) {
        test::ChangeInfoHead(file, damage.change);
    }
    BmpLayout layout;
    layout.width = 1234;
    EXPECT_EQ(Parse(file, layout, file.size() + damage.sizeChange), damage.expected);
    EXPECT_EQ(layout.width, 1234u) << "a refused header leaves the layout alone";
}

// The file is 174 bytes: the 54-byte head and 5 rows of 24.
using Head = bmp::InfoHead;
INSTANTIATE_TEST_SUITE_P(
    BmpHeader, MalformedBmp,
    ::testing::Values(
        Malformed{"Empty", nullptr, -174, BmpError::Truncated},
        Malformed{"FileHeaderOnly", nullptr, -160, BmpError::Truncated},
        Malformed{"InfoHeaderCut", nullptr, -134, BmpError::Truncated},
        Malformed{"Signature", [](Head& h) { h.file.signature = 'B' | 'A' << 8; }, 0, BmpError::Signature},
        Malformed{"HeaderSize56", [](Head& h) { h.info.headerSize = 56; }, 0, BmpError::HeaderSize},
        Malformed{"Planes2", [](Head& h) { h.info.planes = 2; }, 0, BmpError::Planes},
        Malformed{"BitCount8", [](Head& h) { h.info.bitCount = 8; }, 0, BmpError::BitCount},
        Malformed{"Compression1", [](Head& h) { h.info.compression = 1; }, 0, BmpError::Compression},
        Malformed{"Width0", [](Head& h) { h.info.width = 0; }, 0, BmpError::Width},
        Malformed{"NegativeWidth", [](Head& h) { h.info.width = -7; }, 0, BmpError::Width},
        Malformed{"Height0", [](Head& h) { h.info.height = 0; }, 0, BmpError::Height},
        Malformed{"HugeWidth", [](Head& h) { h.info.width = INT32_MAX; }, 0, BmpError::TooLarge},
        Malformed{"MostNegativeHeight", [](Head& h) { h.info.height = INT32_MIN; }, 0, BmpError::TooLarge},
        Malformed{"WidthBeyondJpeg", [](Head& h) { h.info.width = 65501; }, 0, BmpError::TooLarge},
        Malformed{"PixelsInHeaders", [](Head& h) { h.file.pixelDataOffset = 53; }, 0, BmpError::PixelOffset},
        Malformed{"PixelsPastEnd", [](Head& h) { h.file.pixelDataOffset = 0xFFFFFFF0; }, 0, BmpError::PixelOffset},
        Malformed{"OneByteShort", nullptr, -1, BmpError::PixelArea},
        Malformed{"RowsPushedPastEnd", [](Head& h) { h.file.pixelDataOffset = 58; }, 0, BmpError::PixelArea},
        Malformed{"HeightOverflowsFile", [](Head& h) { h.info.height = 65500; }, 0, BmpError::PixelArea}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vkexf
