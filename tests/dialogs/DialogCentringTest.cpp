#include "dialogs/Centring.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

TEST(CentredCoordinate, SplitsTheFreeSpaceWhereverTheWindowIsNow)
{
    // A 400 x 300 dialog on a 1024 x 768 screen.
    EXPECT_EQ(CentredCoordinate(1024, 0, 400), 312);
    EXPECT_EQ(CentredCoordinate(768, 0, 300), 234);
    EXPECT_EQ(CentredCoordinate(1024, 500, 900), 312);
    EXPECT_EQ(CentredCoordinate(768, -40, 260), 234);
}

TEST(CentredCoordinate, HalvesTowardZero)
{
    EXPECT_EQ(CentredCoordinate(1024, 0, 401), 311);
    // Wider than the screen: the odd pixel rounds toward zero, not down.
    EXPECT_EQ(CentredCoordinate(1024, 0, 1201), -88);
    EXPECT_EQ(CentredCoordinate(1024, 10, 1211), -88);
    EXPECT_EQ(CentredCoordinate(768, 0, 2000), -616);
}

TEST(CentredCoordinate, KeepsOnlySixteenBitsOfScreenAndResult)
{
    EXPECT_EQ(CentredCoordinate(0x10000 + 1024, 0, 400), 312);
    // 40000 is -25536 as a signed 16-bit value.
    EXPECT_EQ(CentredCoordinate(40000, 0, 400), (-25536 - 400) / 2);
    // The 32-bit half, 35512, wraps to a negative 16-bit coordinate.
    EXPECT_EQ(CentredCoordinate(1024, 0, -70000), 35512 - 0x10000);
    EXPECT_EQ(CentredCoordinate(1024, 70000, 0), (1024 + 70000) / 2 - 0x10000);
}

TEST(CentredCoordinate, WrapsInsteadOfOverflowingThirtyTwoBits)
{
    // 1024 - INT32_MIN + 0 wraps to INT32_MIN + 1024; its half keeps 16 bits.
    EXPECT_EQ(CentredCoordinate(1024, 0, INT32_MIN), 512);
    EXPECT_EQ(CentredCoordinate(1024, INT32_MAX, -1), 512);
}

} // namespace
} // namespace vlexif
