// Each kernel runs the variant it timed fastest, never one above the level in
// force, and exactly the pinned one while tests pin a level.
#include "pixels/VariantChoice.h"
#include "pixels/RowConverters.h"
#include "pixels/RowExpansion.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace vlexif {
namespace {

TEST(VariantChoice, PicksTheShortestBestTrialUpToTheCap)
{
    const char variants[SimdLevelCount] = {'p', 's', 't', 'a'};
    // A spike in one trial does not count; the gathering variant is slow.
    std::map<char, std::vector<uint64_t>> trials = {
        {'p', {90, 90, 90, 90}}, {'s', {30, 31, 30, 30}}, {'t', {400, 22, 21, 23}}, {'a', {40, 41, 40, 40}}};
    std::map<char, int> runs;
    auto time = [&](char variant) { return trials[variant][runs[variant]++ % TimingTrials]; };
    EXPECT_EQ(FastestVariant(variants, SimdLevel::Avx2, time), SimdLevel::Ssse3);
    runs.clear();
    EXPECT_EQ(FastestVariant(variants, SimdLevel::Sse2, time), SimdLevel::Sse2);
    EXPECT_EQ(runs.count('t') + runs.count('a'), 0U) << "a level above the cap is never run";

    // A variant that higher levels share is timed once and chosen as its lowest level.
    const char shared[SimdLevelCount] = {'p', 's', 's', 's'};
    runs.clear();
    EXPECT_EQ(FastestVariant(shared, SimdLevel::Avx2, time), SimdLevel::Sse2);
    EXPECT_EQ(runs['s'], TimingTrials);
}

TEST(VariantChoice, EveryKernelRunsAnExistingVariantUpToTheLevelInForce)
{
    const SimdLevel cap = ActiveSimdLevel();
    for (const RowConversion k : {RowConversion::SwapRgb24, RowConversion::ReduceRgb48, RowConversion::ReduceGray16}) {
        EXPECT_LE(ChosenSimdLevel(k), cap);
    }
    for (const RowExpansion k : {RowExpansion::Gray8, RowExpansion::Indexed8, RowExpansion::Gray16,
                                 RowExpansion::FourBit, RowExpansion::OneBit}) {
        EXPECT_LE(ChosenSimdLevel(k), cap);
        ASSERT_TRUE(UseSimdLevel(SimdLevel::Plain));
        EXPECT_EQ(ChosenSimdLevel(k), SimdLevel::Plain);
        UseFastestVariants();
    }
    EXPECT_FALSE(PinnedSimdLevel().has_value());
    // The grey16 reduction has one SSE2 variant for every level above it.
    if (cap >= SimdLevel::Sse2) {
        EXPECT_EQ(ChosenSimdLevel(RowConversion::ReduceGray16), SimdLevel::Sse2);
    }
}

} // namespace
} // namespace vlexif
