#include "converter/BmpHeader.h"
#include "converter/tests/TestBmp.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace vkexf {
namespace {

using test::BmpHeaderKind;
using test::BmpSpec;
using test::MakeBmp;
using test::PutU16;
using test::PutU32;

// Byte offsets in a file with an info header.
constexpr size_t kPixelOffsetField = 10;
constexpr size_t kHeaderSizeField = 14;
constexpr size_t kWidthField = 18;
constexpr size_t kHeightField = 22;
constexpr size_t kPlanesField = 26;
constexpr size_t kBitCountField = 28;
constexpr size_t kCompressionField = 30;

BmpError Parse(const std::vector<uint8_t>& file, BmpLayout& layout, uint64_t fileSize)
{
    return ParseBmpHeader(file.data(), std::min(file.size(), kBmpHeaderBytes), fileSize, layout);
}

BmpError Parse(const std::vector<uint8_t>& file, BmpLayout& layout)
{
    return Parse(file, layout, file.size());
}

TEST(BmpHeader, ReadsInfoHeaderBottomUp)
{
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.xPixelsPerMetre = 11811;
    spec.yPixelsPerMetre = 2834;
    BmpLayout layout;
    ASSERT_EQ(Parse(MakeBmp(spec), layout), BmpError::None);
    EXPECT_EQ(layout.width, 5u);
    EXPECT_EQ(layout.height, 3u);
    EXPECT_FALSE(layout.topDown);
    EXPECT_EQ(layout.pixelOffset, 54u);
    EXPECT_EQ(layout.stride, 16u);
    EXPECT_EQ(layout.xPixelsPerMetre, 11811);
    EXPECT_EQ(layout.yPixelsPerMetre, 2834);
}

TEST(BmpHeader, NegativeHeightMeansTopDown)
{
    BmpSpec spec;
    spec.width = 2;
    spec.height = 7;
    spec.topDown = true;
    BmpLayout layout;
    ASSERT_EQ(Parse(MakeBmp(spec), layout), BmpError::None);
    EXPECT_TRUE(layout.topDown);
    EXPECT_EQ(layout.height, 7u);
}

TEST(BmpHeader, ReadsCoreHeaderWithoutResolution)
{
    BmpSpec spec;
    spec.header = BmpHeaderKind::Core;
    spec.width = 3;
    spec.height = 4;
    BmpLayout layout;
    ASSERT_EQ(Parse(MakeBmp(spec), layout), BmpError::None);
    EXPECT_EQ(layout.width, 3u);
    EXPECT_EQ(layout.height, 4u);
    EXPECT_FALSE(layout.topDown);
    EXPECT_EQ(layout.pixelOffset, 26u);
    EXPECT_EQ(layout.stride, 12u);
    EXPECT_EQ(layout.xPixelsPerMetre, 0);
    EXPECT_EQ(layout.yPixelsPerMetre, 0);
}

TEST(BmpHeader, CoreHeaderFileSmallerThanInfoHeaders)
{
    BmpSpec spec;
    spec.header = BmpHeaderKind::Core;
    const auto file = MakeBmp(spec); // 1x1: 26 + 4 bytes
    ASSERT_LT(file.size(), kBmpHeaderBytes);
    BmpLayout layout;
    EXPECT_EQ(Parse(file, layout), BmpError::None);
}

TEST(BmpHeader, RowsPadToFourBytes)
{
    const uint32_t expected[] = {4, 8, 12, 12, 16, 20, 24, 24};
    for (uint32_t width = 1; width <= 8; ++width) {
        BmpSpec spec;
        spec.width = width;
        BmpLayout layout;
        ASSERT_EQ(Parse(MakeBmp(spec), layout), BmpError::None);
        EXPECT_EQ(layout.stride, expected[width - 1]) << "width " << width;
    }
}

struct Malformed {
    const char* name;
    std::function<void(std::vector<uint8_t>&, uint64_t& fileSize)> damage;
    BmpError expected;
};

void PrintTo(const Malformed& malformed, std::ostream* out) { *out << malformed.name; }

class MalformedBmp : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedBmp, IsRefused)
{
    BmpSpec spec;
    spec.width = 7;
    spec.height = 5;
    auto file = MakeBmp(spec);
    uint64_t fileSize = file.size();
    GetParam().damage(file, fileSize);
    BmpLayout layout;
    layout.width = 1234;
    EXPECT_EQ(Parse(file, layout, fileSize), GetParam().expected);
    EXPECT_EQ(layout.width, 1234u) << "a refused header must leave the layout alone";
}

void Set16(std::vector<uint8_t>& f, size_t at, uint16_t v) { PutU16(f, at, v); }
void Set32(std::vector<uint8_t>& f, size_t at, uint32_t v) { PutU32(f, at, v); }

INSTANTIATE_TEST_SUITE_P(
    BmpHeader, MalformedBmp,
    ::testing::Values(
        Malformed{"EmptyFile", [](auto&, uint64_t& size) { size = 0; }, BmpError::Truncated},
        Malformed{"FileHeaderOnly", [](auto&, uint64_t& size) { size = 14; }, BmpError::Truncated},
        Malformed{"InfoHeaderCut", [](auto&, uint64_t& size) { size = 40; }, BmpError::Truncated},
        Malformed{"Signature", [](auto& f, auto&) { f[1] = 'A'; }, BmpError::Signature},
        Malformed{"HeaderSize56", [](auto& f, auto&) { Set32(f, kHeaderSizeField, 56); },
                  BmpError::HeaderSize},
        Malformed{"HeaderSize108", [](auto& f, auto&) { Set32(f, kHeaderSizeField, 108); },
                  BmpError::HeaderSize},
        Malformed{"Planes2", [](auto& f, auto&) { Set16(f, kPlanesField, 2); }, BmpError::Planes},
        Malformed{"BitCount8", [](auto& f, auto&) { Set16(f, kBitCountField, 8); },
                  BmpError::BitCount},
        Malformed{"BitCount32", [](auto& f, auto&) { Set16(f, kBitCountField, 32); },
                  BmpError::BitCount},
        Malformed{"Compression1", [](auto& f, auto&) { Set32(f, kCompressionField, 1); },
                  BmpError::Compression},
        Malformed{"Bitfields", [](auto& f, auto&) { Set32(f, kCompressionField, 3); },
                  BmpError::Compression},
        Malformed{"Width0", [](auto& f, auto&) { Set32(f, kWidthField, 0); }, BmpError::Width},
        Malformed{"NegativeWidth", [](auto& f, auto&) { Set32(f, kWidthField, uint32_t(-7)); },
                  BmpError::Width},
        Malformed{"Height0", [](auto& f, auto&) { Set32(f, kHeightField, 0); }, BmpError::Height},
        Malformed{"HugeWidth", [](auto& f, auto&) { Set32(f, kWidthField, 0x7FFFFFFF); },
                  BmpError::TooLarge},
        Malformed{"MostNegativeHeight",
                  [](auto& f, auto&) { Set32(f, kHeightField, uint32_t(INT32_MIN)); },
                  BmpError::TooLarge},
        Malformed{"WidthBeyondJpeg", [](auto& f, auto&) { Set32(f, kWidthField, 65501); },
                  BmpError::TooLarge},
        Malformed{"PixelsInsideHeaders", [](auto& f, auto&) { Set32(f, kPixelOffsetField, 53); },
                  BmpError::PixelOffset},
        Malformed{"PixelsPastEnd",
                  [](auto& f, auto&) { Set32(f, kPixelOffsetField, 0xFFFFFFF0); },
                  BmpError::PixelOffset},
        Malformed{"OneByteShort", [](auto&, uint64_t& size) { --size; }, BmpError::PixelArea},
        Malformed{"OffsetPushesRowsPastEnd",
                  [](auto& f, auto&) { Set32(f, kPixelOffsetField, 58); }, BmpError::PixelArea},
        Malformed{"LargestSidesInTinyFile",
                  [](auto& f, auto&) {
                      Set32(f, kWidthField, 65500);
                      Set32(f, kHeightField, 65500);
                  },
                  BmpError::PixelArea}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpHeader, CoreHeaderFieldsAreUnsigned16Bit)
{
    BmpSpec spec;
    spec.header = BmpHeaderKind::Core;
    auto file = MakeBmp(spec);
    PutU16(file, 18, 0xFFFF); // 65535 wide, beyond JPEG, not -1
    BmpLayout layout;
    EXPECT_EQ(Parse(file, layout), BmpError::TooLarge);
    PutU16(file, 18, 1);
    PutU16(file, 24, 8);
    EXPECT_EQ(Parse(file, layout), BmpError::BitCount);
}

} // namespace
} // namespace vkexf
