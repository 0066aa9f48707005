#include "host/picture/HostFormat.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

TEST(HostFormat, LinesArePaddedToFourBytesExceptEightBitPalettes)
{
    EXPECT_EQ(BytesPerLine(HostFormat::Rgb24, 5), 16u); // 15 bytes padded
    EXPECT_EQ(BytesPerLine(HostFormat::Rgb24, 4), 12u);
    EXPECT_EQ(BytesPerLine(HostFormat::Rgb48, 3), 20u); // 18 bytes padded
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
