#include "host/picture/LinePacking.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlscan {
namespace {

TEST(LinePacking, SixteenBitSamplesGoLowByteFirst)
{
    uint8_t bytes[2] = {};
    Store16LE(0x12AB, bytes);
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(bytes[1], 0x12);
}

TEST(LinePacking, LeftPixelTakesTheHighNibble)
{
    const uint8_t indices[] = {0x1, 0x2, 0xF, 0x0, 0x7};
    std::vector<uint8_t> line(4, 0xEE);
    PackNibbles(indices, 5, line.data());
    // An odd width leaves the last byte's low nibble zero, and nothing after it.
    EXPECT_EQ(line, (std::vector<uint8_t>{0x12, 0xF0, 0x70, 0xEE}));
    for (uint32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(NibbleAt(line.data(), x), indices[x]) << x;
    }
}

TEST(LinePacking, LeftPixelTakesTheMostSignificantBit)
{
    const uint8_t indices[] = {1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0};
    std::vector<uint8_t> line(3, 0xEE);
    PackBits(indices, 11, line.data());
    EXPECT_EQ(line, (std::vector<uint8_t>{0x81, 0xC0, 0xEE}));
    for (uint32_t x = 0; x < 11; ++x) {
        EXPECT_EQ(BitAt(line.data(), x), indices[x]) << x;
    }
}

} // namespace
} // namespace vlscan
