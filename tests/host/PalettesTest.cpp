#include "host/picture/Palettes.h"

#include "host/picture/Dithering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vlscan {
namespace {

// The cube's colours and the corners map to themselves at every threshold:
// flat areas of them stay flat.
TEST(Palettes, CornerAndCubeColoursMapToThemselves)
{
    const Palette cube = CubePalette();
    const Palette sixteen = SixteenPalette();
    for (uint32_t rank = 0; rank < 64; ++rank) {
        const uint32_t threshold = 2 * rank + 1;
        for (size_t i = 0; i < 216; ++i) {
            EXPECT_EQ(CubeIndex(cube[i], threshold), i);
        }
        for (size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(SixteenIndex(sixteen[i], threshold), i);
        }
    }
    // The rounded greys between them at least at the nearest threshold.
    for (size_t i = 8; i < sixteen.size(); ++i) {
        EXPECT_EQ(SixteenIndex(sixteen[i], NearestThreshold), i);
    }
}

TEST(Palettes, CubeGreysMakeOneEvenRampWithTheCubes)
{
    const Palette cube = CubePalette();
    ASSERT_EQ(cube.size(), 256u);
    std::vector<int> ramp{0, 51, 102, 153, 204, 255};
    for (size_t i = 216; i < 256; ++i) {
        EXPECT_EQ(cube[i].red, cube[i].green);
        EXPECT_EQ(cube[i].red, cube[i].blue);
        ramp.push_back(cube[i].red);
    }
    std::sort(ramp.begin(), ramp.end());
    for (size_t k = 1; k < ramp.size(); ++k) {
        EXPECT_NEAR(ramp[k] - ramp[k - 1], 255.0 / 45, 0.7) << k;
    }
    // Every ramp entry is what the nearest grey maps to.
    for (size_t i = 216; i < 256; ++i) {
        EXPECT_EQ(CubeIndex(cube[i], NearestThreshold), i);
    }
}

TEST(Palettes, CubeIndexIsRedMajor)
{
    EXPECT_EQ(CubeIndex({255, 0, 0}, 0), 5 * 36);
    EXPECT_EQ(CubeIndex({0, 255, 0}, 0), 5 * 6);
    EXPECT_EQ(CubeIndex({0, 0, 255}, 0), 5);
    EXPECT_EQ(CubeIndex({102, 51, 153}, 0), 2 * 36 + 1 * 6 + 3);
    EXPECT_EQ(SixteenIndex({255, 0, 0}, 0), 4);
    EXPECT_EQ(SixteenIndex({0, 255, 255}, 0), 3);
}

TEST(Palettes, NearGreysUseTheGreyRamp)
{
    const Palette cube = CubePalette();
    // 100 is nearest the cube's own grey 102, 96 a ramp entry of its own.
    EXPECT_EQ(cube[CubeIndex({100, 103, 98}, NearestThreshold)], (Rgb{102, 102, 102}));
    const uint8_t nearest = CubeIndex({96, 93, 97}, NearestThreshold);
    EXPECT_GE(nearest, 216);
    EXPECT_EQ(cube[nearest].red, cube[nearest].blue);
    EXPECT_NEAR(cube[nearest].red, 95, 3);
    // A grey dithered over the matrix never leaves the ramp.
    for (uint32_t rank = 0; rank < 64; ++rank) {
        const uint8_t index = CubeIndex({77, 77, 77}, 2 * rank + 1);
        EXPECT_EQ(cube[index].red, cube[index].blue);
        const uint8_t sixteen = SixteenIndex({77, 77, 77}, 2 * rank + 1);
        EXPECT_TRUE(sixteen == 0 || sixteen == 7 || sixteen >= 8) << int(sixteen);
    }
}

TEST(Palettes, DitheredColourAveragesToTheColour)
{
    const Palette cube = CubePalette();
    const Rgb wanted{200, 30, 120};
    double red = 0;
    double green = 0;
    double blue = 0;
    for (uint32_t rank = 0; rank < 64; ++rank) {
        const Rgb got = cube[CubeIndex(wanted, 2 * rank + 1)];
        red += got.red;
        green += got.green;
        blue += got.blue;
    }
    EXPECT_NEAR(red / 64, wanted.red, 1.0);
    EXPECT_NEAR(green / 64, wanted.green, 1.0);
    EXPECT_NEAR(blue / 64, wanted.blue, 1.0);
}

} // namespace
} // namespace vlscan
