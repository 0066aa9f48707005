#include "host/job/BlockPlan.h"

#include <algorithm>
#include <random>

namespace vlscan {

std::vector<BlockSpan> PlanBlocks(uint32_t height, uint32_t blockLines, BlockOrder order, uint32_t seed)
{
    std::vector<BlockSpan> blocks;
    if (blockLines == 0) {
        return blocks;
    }
    for (uint32_t first = 0; first < height; first += std::min(blockLines, height - first)) {
        blocks.push_back({first, std::min(blockLines, height - first)});
    }
    if (order == BlockOrder::BottomUp) {
        std::reverse(blocks.begin(), blocks.end());
    } else if (order == BlockOrder::Random) {
        std::mt19937 generator(seed);
        // Fisher–Yates by hand: std::shuffle's sequence differs between
        // standard libraries, and the order should not.
        for (size_t i = blocks.size(); i > 1; --i) {
            std::swap(blocks[i - 1], blocks[generator() % i]);
        }
    }
    return blocks;
}

} // namespace vlscan
