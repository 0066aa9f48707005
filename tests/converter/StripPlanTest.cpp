#include "converter/base/StripPlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace vkexf {
namespace {

uint32_t Stride(uint32_t width)
{
    return (width * 3 + 3) / 4 * 4;
}

// Every strip is a whole number of MCU rows as wide as the page and one
// restart interval, which a 16-bit field must hold, however wide the page and
// whatever the strip size; the strips cover the page, the last perhaps shorter.
TEST(StripPlan, StripsAreWholeMcuRowsCoveringThePageWithinTheRestartLimit)
{
    for (const bool grey : {false, true}) {
        for (const uint32_t width : {1u, 2u, 17u, 4960u, 9920u, 40000u, 65500u}) {
            for (const size_t stripBytes : {size_t{1}, StripTargetBytes, size_t{1} << 30}) {
                const StripPlan plan = PlanStrips(width, 65500, Stride(width), McuSide(grey, 75), 4, 0, stripBytes);
                SCOPED_TRACE(testing::Message() << width << (grey ? " grey" : " colour") << " " << stripBytes);
                const uint32_t side = grey ? 8 : 16;
                ASSERT_EQ(plan.mcuSide, side);
                ASSERT_EQ(plan.stripRows % side, 0u);
                const uint32_t rowMcus = plan.restartInterval / (plan.stripRows / side);
                EXPECT_EQ(rowMcus * (plan.stripRows / side), plan.restartInterval);
                EXPECT_TRUE(rowMcus * side >= width && rowMcus * side < width + side) << rowMcus;
                EXPECT_LE(plan.restartInterval, 65535u);
                EXPECT_TRUE(plan.strips * plan.stripRows >= 65500 && (plan.strips - 1) * plan.stripRows < 65500);
            }
        }
    }
    // Counted by hand: an A4 page at 600 dpi in 4:2:0 is 310 x 439 MCUs; 4
    // MCU rows make a strip of 0.9 MB, so 110 strips, and one band in every
    // 64 MCU rows is 7; two processors, two workers.
    const StripPlan a4 = PlanStrips(4960, 7016, Stride(4960), 16, 2);
    EXPECT_EQ((std::vector<uint32_t>{a4.stripRows, a4.strips, a4.restartInterval, a4.sampleBands, a4.workers}),
              (std::vector<uint32_t>{64, 110, 1240, 7, 2}));
    // A page lower than one strip is one strip, of whole MCU rows.
    const StripPlan line = PlanStrips(100, 1, Stride(100), 16, 8);
    EXPECT_EQ(line.strips, 1u);
    EXPECT_EQ(line.stripRows, 16u);
    EXPECT_EQ(line.workers, 1u);
}

// Chroma is kept whole from quality 90 up; one component is one block.
TEST(StripPlan, McuSideFollowsTheSampling)
{
    EXPECT_EQ(McuSide(false, 1), 16u);
    EXPECT_EQ(McuSide(false, 89), 16u);
    EXPECT_EQ(McuSide(false, 90), 8u);
    EXPECT_EQ(McuSide(false, 100), 8u);
    EXPECT_EQ(McuSide(true, 50), 8u);
}

// The workers' memory keeps an A4 page at 600 dpi far below 32 MB on any
// number of processors, and a longer page never takes more.
TEST(StripPlan, MemoryIsBoundedAndGrowsWithTheWidthOnly)
{
    for (uint32_t processors = 1; processors <= 64; ++processors) {
        const StripPlan plan = PlanStrips(4960, 7016, Stride(4960), 16, processors);
        EXPECT_LE(plan.workers * plan.bytesPerWorker, WorkerBudgetBytes) << processors;
        EXPECT_LE(plan.workers, std::min(processors, MaxWorkers));
        EXPECT_GE(plan.workers, std::min(processors, 8u)) << "a budget for more than a few workers";
        const StripPlan tall = PlanStrips(4960, 65500, Stride(4960), 16, processors);
        EXPECT_EQ(tall.workers * tall.bytesPerWorker, plan.workers * plan.bytesPerWorker);
        EXPECT_EQ(tall.stripRows, plan.stripRows);
    }
    // The widest page's one MCU row of a strip holds more: fewer workers.
    const StripPlan wide = PlanStrips(65500, 100, Stride(65500), 16, 64);
    EXPECT_GE(wide.bytesPerWorker, size_t{Stride(65500)} * 16);
    EXPECT_LE(wide.workers * wide.bytesPerWorker, WorkerBudgetBytes);
    EXPECT_LT(wide.workers, PlanStrips(4960, 7016, Stride(4960), 16, 64).workers);
    // At 1200 dpi a megabyte is two MCU rows: strips of 64 rows where the
    // budget still gives every processor its worker, never at the cost of one.
    for (const uint32_t processors : {2u, 64u}) {
        const StripPlan megabyte = PlanStrips(9920, 14032, Stride(9920), 16, processors, 0, StripTargetBytes);
        const StripPlan chosen = PlanStrips(9920, 14032, Stride(9920), 16, processors);
        EXPECT_EQ(megabyte.stripRows, 32u);
        EXPECT_EQ(chosen.stripRows, processors == 2 ? 64u : 32u) << processors;
        EXPECT_EQ(chosen.workers, megabyte.workers) << processors;
    }
    // What each worker holds besides counts against the same budget.
    const StripPlan summing = PlanStrips(4960, 7016, Stride(4960), 16, 64, 4u << 20);
    EXPECT_LE(summing.workers * summing.bytesPerWorker, WorkerBudgetBytes);
    EXPECT_LT(summing.workers, PlanStrips(4960, 7016, Stride(4960), 16, 64).workers);
}

} // namespace
} // namespace vkexf
