#include "host/HostFormat.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

TEST(HostFormat, DescriptionsMatchThePluginsTable)
{
    struct Expected {
        const char* name;
        uint32_t bits, samples, colour, palette;
    } const expected[] = {
        {"rgb24", 24, 3, 2, 0},    {"rgb48", 48, 3, 2, 0},     {"gray8", 8, 1, 1, 256},
        {"gray16", 16, 1, 1, 256}, {"indexed8", 8, 1, 3, 256}, {"indexed4", 4, 1, 3, 16},
        {"indexed1", 1, 1, 3, 2},  {"bilevel", 1, 1, 0, 2},    {"gray4", 4, 1, 1, 16},
    };
    for (const Expected& e : expected) {
        const auto format = ParseFormat(e.name);
        ASSERT_TRUE(format) << e.name;
        const FormatInfo& info = InfoOf(*format);
        EXPECT_STREQ(info.name, e.name);
        EXPECT_EQ(info.bitsPerPixel, e.bits) << e.name;
        EXPECT_EQ(info.samplesPerPixel, e.samples) << e.name;
        EXPECT_EQ(info.colourType, e.colour) << e.name;
        EXPECT_EQ(info.paletteEntries, e.palette) << e.name;
    }
    EXPECT_FALSE(ParseFormat("rgb32"));
    EXPECT_FALSE(ParseFormat("RGB24"));
}

TEST(HostFormat, HelpListsEveryFormatButTheRefusedOne)
{
    EXPECT_EQ(ListedFormatNames(), "rgb24|rgb48|gray8|gray16|indexed8|indexed4|indexed1|bilevel");
}

TEST(HostFormat, LinesArePaddedToFourBytesExceptEightBitPalettes)
{
    EXPECT_EQ(BytesPerLine(HostFormat::Rgb24, 5), 16u);  // 15 bytes padded
    EXPECT_EQ(BytesPerLine(HostFormat::Rgb24, 4), 12u);
    EXPECT_EQ(BytesPerLine(HostFormat::Rgb48, 3), 20u);  // 18 bytes padded
    EXPECT_EQ(BytesPerLine(HostFormat::Gray8, 5), 8u);
    EXPECT_EQ(BytesPerLine(HostFormat::Gray16, 3), 8u);
    EXPECT_EQ(BytesPerLine(HostFormat::Indexed8, 5), 5u);
    EXPECT_EQ(BytesPerLine(HostFormat::Indexed4, 9), 8u);  // 5 bytes padded
    EXPECT_EQ(BytesPerLine(HostFormat::Indexed1, 33), 8u); // 5 bytes padded
    EXPECT_EQ(BytesPerLine(HostFormat::Bilevel, 32), 4u);
    EXPECT_EQ(BytesPerLine(HostFormat::Gray4, 8), 4u);
    // Large widths do not wrap around in the bit count.
    EXPECT_EQ(PaddedStride(100000000u, 48), 600000000u);
}

} // namespace
} // namespace vlscan
