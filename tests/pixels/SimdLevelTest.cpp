// The kernel level the plug-in puts in force under Windows: the supported one,
// or the lower one VLEXIF_SIMD names (ctest's simd.* runs set it, so that whole
// jobs run through each variant).
#include "pixels/SimdLevel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vlexif {
namespace {

TEST(SimdLevelTest, TheEnvironmentLowersTheLevelAndNeverRaisesIt)
{
    const char* wanted = std::getenv("VLEXIF_SIMD");
    const SimdLevel supported = SupportedSimdLevel();
    std::string expected = SimdLevelName(supported);
    for (int level = 0; wanted != nullptr && level < static_cast<int>(supported); ++level) {
        if (std::string(wanted) == SimdLevelName(static_cast<SimdLevel>(level))) {
            expected = wanted;
        }
    }
    RecordProperty("level", SimdLevelName(ActiveSimdLevel()));
    EXPECT_EQ(SimdLevelName(ActiveSimdLevel()), expected);
    EXPECT_FALSE(UseSimdLevel(static_cast<SimdLevel>(static_cast<int>(supported) + 1)));
}

} // namespace
} // namespace vlexif
