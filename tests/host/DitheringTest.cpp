#include "host/picture/Dithering.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace vlscan {
namespace {

TEST(Dithering, BayerRanksAreAPermutationRepeatingEveryEightPixels)
{
    std::set<uint32_t> ranks;
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
            ranks.insert(BayerRank(x, y));
            EXPECT_EQ(BayerRank(x, y), BayerRank(x + 8, y + 16));
        }
    }
    EXPECT_EQ(ranks.size(), 64u);
    EXPECT_EQ(*ranks.rbegin(), 63u);
    // The classic 2×2 core: 0 2 / 3 1 scaled to the top digit.
    EXPECT_EQ(BayerRank(0, 0), 0u);
    EXPECT_EQ(BayerRank(1, 0), 32u);
    EXPECT_EQ(BayerRank(0, 1), 48u);
    EXPECT_EQ(BayerRank(1, 1), 16u);
}

TEST(Dithering, OrderedLevelsAverageToTheValue)
{
    for (const uint32_t levels : {2u, 6u, 10u, 16u, 40u}) {
        const double step = 255.0 / (levels - 1);
        for (uint32_t value = 0; value < 256; ++value) {
            double sum = 0;
            for (uint32_t rank = 0; rank < 64; ++rank) {
                const uint32_t level = OrderedLevel(static_cast<uint8_t>(value), levels, 2 * rank + 1);
                ASSERT_LT(level, levels);
                sum += level * step;
            }
            EXPECT_NEAR(sum / 64, value, step / 64 + 1e-9) << levels << " levels, value " << value;
        }
    }
}

TEST(Dithering, ExactLevelsAndTheNearestRankDoNotDither)
{
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
            EXPECT_EQ(OrderedLevel(0, 6, BayerThreshold(x, y)), 0u);
            EXPECT_EQ(OrderedLevel(51, 6, BayerThreshold(x, y)), 1u);
            EXPECT_EQ(OrderedLevel(255, 6, BayerThreshold(x, y)), 5u);
        }
    }
    EXPECT_EQ(OrderedLevel(127, 2, NearestThreshold), 0u);
    EXPECT_EQ(OrderedLevel(128, 2, NearestThreshold), 1u);
    EXPECT_EQ(OrderedLevel(76, 6, NearestThreshold), 1u);
    EXPECT_EQ(OrderedLevel(77, 6, NearestThreshold), 2u);
}

// The share of white pixels diffusion makes of a flat grey.
double WhiteShare(uint8_t grey, uint32_t width, uint32_t height)
{
    ErrorDiffusion diffusion(width);
    const std::vector<uint8_t> luma(width, grey);
    std::vector<uint8_t> white(width);
    uint64_t count = 0;
    for (uint32_t y = 0; y < height; ++y) {
        diffusion.Line(luma.data(), white.data());
        for (const uint8_t w : white) {
            EXPECT_LE(w, 1);
            count += w;
        }
    }
    return static_cast<double>(count) / (width * height);
}

TEST(Dithering, DiffusionKeepsTheTone)
{
    EXPECT_EQ(WhiteShare(0, 50, 50), 0.0);
    EXPECT_EQ(WhiteShare(255, 50, 50), 1.0);
    EXPECT_NEAR(WhiteShare(64, 101, 100), 64 / 255.0, 0.01);
    EXPECT_NEAR(WhiteShare(128, 101, 100), 128 / 255.0, 0.01);
    EXPECT_NEAR(WhiteShare(200, 101, 100), 200 / 255.0, 0.01);
}

} // namespace
} // namespace vlscan
