// Runs a check once in every kernel variant this machine supports, pinned
// through the dispatch, and lets each kernel choose its own again afterwards.
#pragma once

#include "pixels/SimdLevel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace vlexif {

template <class Check>
void ForEachSimdLevel(Check check)
{
    const SimdLevel supported = SupportedSimdLevel();
    for (int l = 0; l <= static_cast<int>(supported); ++l) {
        const SimdLevel level = static_cast<SimdLevel>(l);
        SCOPED_TRACE(SimdLevelName(level));
        ASSERT_TRUE(UseSimdLevel(level));
        check();
    }
    UseFastestVariants();
}

// Widths 1 to 64, where every vector loop meets its tail, then some longer.
inline int32_t VariantWidth(int trial, uint32_t random)
{
    return trial < 64 ? trial + 1 : 65 + static_cast<int32_t>(random % 400);
}
constexpr int VariantTrials = 96;

// A host block's source bytes: random, and exactly `lines` lines of
// `bytesPerLine`, so that AddressSanitizer sees any read past them.
inline std::vector<uint8_t> RandomLines(std::mt19937& random, int32_t lines, int32_t bytesPerLine)
{
    std::vector<uint8_t> source(static_cast<size_t>(lines) * static_cast<size_t>(bytesPerLine));
    for (uint8_t& byte : source) {
        byte = static_cast<uint8_t>(random());
    }
    return source;
}

} // namespace vlexif
