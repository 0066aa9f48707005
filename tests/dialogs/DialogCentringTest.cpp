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

// A 400 x 300 dialog moved over a work area of 1024 x 728 from 0, 40 (a
// taskbar along the top), or over a second monitor's, left of the first.
// A taskbar 48 pixels wide on the left: workspace x 0 is screen x 48.
TEST(ScreenFromWorkspace, AddsWhereTheWorkAreaBeginsAndHoldsThirtyTwoBits)
{
    EXPECT_EQ(ScreenFromWorkspace(100, 48, 0), 148);
    EXPECT_EQ(ScreenFromWorkspace(100, 0, 0), 100);
    EXPECT_EQ(ScreenFromWorkspace(10, 40, 0), 50); // a taskbar 40 pixels high at the top
    EXPECT_EQ(ScreenFromWorkspace(INT32_MAX, 48, 0), INT32_MAX);
    EXPECT_EQ(ScreenFromWorkspace(INT32_MIN, 0, 48), INT32_MIN);
}

TEST(LiesMostlyInside, HoldsForMoreThanHalfTheDialogsArea)
{
    const ScreenRect work{0, 40, 1024, 768};
    const ScreenRect left{-1280, 0, 0, 1024};
    const ScreenRect dialog{0, 0, 400, 300};
    const struct {
        const char* what;
        ScreenRect window;
        ScreenRect area;
        bool inside;
    } rows[] = {
        {"inside", MovedTo(dialog, 312, 234), work, true},
        {"half past the right edge", MovedTo(dialog, 824, 100), work, false},
        {"a column less than half past it", MovedTo(dialog, 823, 100), work, true},
        {"half above the work area", MovedTo(dialog, 0, 40 - 150), work, false},
        {"a quarter above it", MovedTo(dialog, 0, 40 - 75), work, true},
        {"right of every edge", MovedTo(dialog, 5000, 5000), work, false},
        {"left of every edge", MovedTo(dialog, -3000, -3000), work, false},
        {"on a monitor left of the first", MovedTo(dialog, -1000, 100), left, true},
        {"mostly on the left monitor", MovedTo(dialog, -300, 100), left, true},
        {"at the 32-bit limit", MovedTo(dialog, INT32_MAX - 10, INT32_MAX - 10), work, false},
        {"larger than the work area", ScreenRect{0, 0, 2100, 1600}, work, false},
        {"wider, but mostly inside", ScreenRect{0, 40, 1200, 768}, work, true},
        {"the whole coordinate space", ScreenRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, work, false},
        {"empty", ScreenRect{10, 50, 10, 50}, work, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LiesMostlyInside(row.window, row.area), row.inside) << row.what;
    }
    EXPECT_EQ(MovedTo(dialog, INT32_MAX - 10, 0).right, INT32_MAX);
}

} // namespace
} // namespace vlexif
