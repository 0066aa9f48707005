#include "host/job/BlockPlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlscan {
namespace {

// Every line of the page in exactly one block.
void ExpectCoversOnce(const std::vector<BlockSpan>& blocks, uint32_t height)
{
    std::vector<int> seen(height, 0);
    for (const BlockSpan& span : blocks) {
        ASSERT_GT(span.lines, 0u);
        ASSERT_LE(span.linesBefore + span.lines, height);
        for (uint32_t y = span.linesBefore; y < span.linesBefore + span.lines; ++y) {
            ++seen[y];
        }
    }
    EXPECT_EQ(std::vector<int>(height, 1), seen);
}

TEST(BlockPlan, TopDownBandsWithAShortLastOne)
{
    const auto blocks = PlanBlocks(10, 4, BlockOrder::TopDown, 0);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].linesBefore, 0u);
    EXPECT_EQ(blocks[1].linesBefore, 4u);
    EXPECT_EQ(blocks[2].linesBefore, 8u);
    EXPECT_EQ(blocks[2].lines, 2u);
    ExpectCoversOnce(blocks, 10);
}

TEST(BlockPlan, BottomUpStartsWithTheLastBand)
{
    const auto blocks = PlanBlocks(10, 4, BlockOrder::BottomUp, 0);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].linesBefore, 8u);
    EXPECT_EQ(blocks[2].linesBefore, 0u);
    ExpectCoversOnce(blocks, 10);
}

TEST(BlockPlan, RandomIsAReproduciblePermutation)
{
    const auto first = PlanBlocks(1000, 7, BlockOrder::Random, 42);
    ExpectCoversOnce(first, 1000);
    const auto again = PlanBlocks(1000, 7, BlockOrder::Random, 42);
    const auto other = PlanBlocks(1000, 7, BlockOrder::Random, 43);
    const auto sorted = PlanBlocks(1000, 7, BlockOrder::TopDown, 0);
    auto same = [](const std::vector<BlockSpan>& a, const std::vector<BlockSpan>& b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i].linesBefore != b[i].linesBefore) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(same(first, again));
    EXPECT_FALSE(same(first, other));
    EXPECT_FALSE(same(first, sorted));
}

TEST(BlockPlan, OneBlockWhenTheBandIsTaller)
{
    const auto blocks = PlanBlocks(5, 64, BlockOrder::Random, 1);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].lines, 5u);
    EXPECT_TRUE(PlanBlocks(0, 64, BlockOrder::TopDown, 1).empty());
}

} // namespace
} // namespace vlscan
