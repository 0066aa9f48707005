#include "converter/files/BmpHeader.h"
#include "tests/converter/TestBmp.h"

#include <gtest/gtest.h>

#include <climits>

namespace vkexf {
namespace {

using test::BmpSpec;
using test::MakeBmp;

BmpError Parse(const std::vector<uint8_t>& file, BmpLayout& layout, uint64_t fileSize)
{
    return ParseBmpHeader(file.data(), std::min(file.size(), kBmpHeaderBytes), fileSize, layout);
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
    for (uint32_t width = 1; width <= 8; ++width)
        EXPECT_EQ(Parsed({false, width, 1, false, 0}).stride, expected[width - 1]) << width;
}

struct Malformed {
    const char* name;
    size_t offset; // field to overwrite, or 0 to change only the file size
    uint32_t value;
    int size;
    int64_t sizeChange;
    BmpError expected;
};

void PrintTo(const Malformed& malformed, std::ostream* out) { *out << malformed.name; }

class MalformedBmp : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedBmp, IsRefused)
{
    const Malformed& damage = GetParam();
    auto file = MakeBmp({false, 7, 5, false, 0});
    if (damage.offset)
        test::PutLe(file, damage.offset, damage.value, damage.size);
    BmpLayout layout;
    layout.width = 1234;
    EXPECT_EQ(Parse(file, layout, file.size() + damage.sizeChange), damage.expected);
    EXPECT_EQ(layout.width, 1234u) << "a refused header leaves the layout alone";
}

// Field offsets: 0 signature, 10 pixel offset, 14 header size, 18 width,
// 22 height, 26 planes, 28 bit count, 30 compression. The file is 174 bytes.
INSTANTIATE_TEST_SUITE_P(
    BmpHeader, MalformedBmp,
    ::testing::Values(Malformed{"Empty", 0, 0, 0, -174, BmpError::Truncated},
                      Malformed{"FileHeaderOnly", 0, 0, 0, -160, BmpError::Truncated},
                      Malformed{"InfoHeaderCut", 0, 0, 0, -134, BmpError::Truncated},
                      Malformed{"Signature", 1, 'A', 1, 0, BmpError::Signature},
                      Malformed{"HeaderSize56", 14, 56, 4, 0, BmpError::HeaderSize},
                      Malformed{"Planes2", 26, 2, 2, 0, BmpError::Planes},
                      Malformed{"BitCount8", 28, 8, 2, 0, BmpError::BitCount},
                      Malformed{"Compression1", 30, 1, 4, 0, BmpError::Compression},
                      Malformed{"Width0", 18, 0, 4, 0, BmpError::Width},
                      Malformed{"NegativeWidth", 18, uint32_t(-7), 4, 0, BmpError::Width},
                      Malformed{"Height0", 22, 0, 4, 0, BmpError::Height},
                      Malformed{"HugeWidth", 18, INT32_MAX, 4, 0, BmpError::TooLarge},
                      Malformed{"MostNegativeHeight", 22, uint32_t(INT32_MIN), 4, 0, BmpError::TooLarge},
                      Malformed{"WidthBeyondJpeg", 18, 65501, 4, 0, BmpError::TooLarge},
                      Malformed{"PixelsInHeaders", 10, 53, 4, 0, BmpError::PixelOffset},
                      Malformed{"PixelsPastEnd", 10, 0xFFFFFFF0, 4, 0, BmpError::PixelOffset},
                      Malformed{"OneByteShort", 0, 0, 0, -1, BmpError::PixelArea},
                      Malformed{"RowsPushedPastEnd", 10, 58, 4, 0, BmpError::PixelArea},
                      Malformed{"HeightOverflowsFile", 22, 65500, 4, 0, BmpError::PixelArea}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vkexf
