#include "host/job/KernelReport.h"

#include "pixels/SimdLevel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace vlscan {
namespace {

using vlexif::SimdLevel;

// The level named last in each "kernel level" item of the line.
std::vector<std::string> LevelsOf(const std::string& line)
{
    std::vector<std::string> levels;
    std::stringstream items(line);
    for (std::string item; std::getline(items, item, ',');) {
        levels.push_back(item.substr(item.rfind(' ') + 1));
    }
    return levels;
}

int IndexOf(const std::string& name)
{
    for (int level = 0; level < vlexif::SimdLevelCount; ++level) {
        if (name == vlexif::SimdLevelName(static_cast<SimdLevel>(level))) {
            return level;
        }
    }
    return -1;
}

TEST(KernelReport, TellsTheLevelInForceAndEachKernelsVariantWithinIt)
{
    const std::string level = SimdLevelLine();
    EXPECT_EQ(level.rfind(std::string("level ") + vlexif::SimdLevelName(vlexif::ActiveSimdLevel()) + " in force", 0),
              0u)
        << level;
    EXPECT_NE(level.find(std::string("supported: ") + vlexif::SimdLevelName(vlexif::SupportedSimdLevel())),
              std::string::npos)
        << level;

    const std::vector<std::string> chosen = LevelsOf(KernelVariantsLine());
    ASSERT_EQ(chosen.size(), 8u) << "every kernel with variants";
    for (const std::string& name : chosen) {
        EXPECT_GE(IndexOf(name), 0) << name;
        EXPECT_LE(IndexOf(name), static_cast<int>(vlexif::ActiveSimdLevel())) << name;
    }
    // A name the probe cannot have taken is said to change nothing.
    if (std::getenv("VLEXIF_SIMD") == nullptr) {
        setenv("VLEXIF_SIMD", "avx512", 1);
        EXPECT_NE(SimdLevelLine().find(", VLEXIF_SIMD=avx512, ignored)"), std::string::npos) << SimdLevelLine();
        unsetenv("VLEXIF_SIMD");
    }
    // A pin reaches every kernel the report names, so each line reads the dispatch itself.
    ASSERT_TRUE(vlexif::UseSimdLevel(SimdLevel::Plain));
    for (const std::string& name : LevelsOf(KernelVariantsLine())) {
        EXPECT_EQ(name, "plain");
    }
    vlexif::UseFastestVariants();
}

} // namespace
} // namespace vlscan
