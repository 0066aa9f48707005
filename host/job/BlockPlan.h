// The blocks a page goes out in: bands of lines, each named by the lines
// above it, sent top-down, bottom-up or shuffled. Platform-free.
#pragma once

#include "host/picture/NameTable.h"

#include <cstdint>
#include <vector>

namespace vlscan {

enum class BlockOrder { TopDown, BottomUp, Random };

inline constexpr NamedValue<BlockOrder> BlockOrderNames[] = {
    {"top-down", BlockOrder::TopDown}, {"bottom-up", BlockOrder::BottomUp}, {"random", BlockOrder::Random}};

struct BlockSpan {
    uint32_t linesBefore; // the block's first line, counted from the top
    uint32_t lines;
};

// Bands of `blockLines` (the last may be shorter) covering every line once;
// Random shuffles them reproducibly from `seed`.
std::vector<BlockSpan> PlanBlocks(uint32_t height, uint32_t blockLines, BlockOrder order, uint32_t seed);

} // namespace vlscan
