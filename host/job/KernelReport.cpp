#include "host/job/KernelReport.h"

#include "pixels/RowConverters.h"
#include "pixels/RowExpansion.h"
#include "pixels/SimdLevel.h"

#include <cstdlib>

namespace vlscan {

namespace {

using vlexif::RowConversion;
using vlexif::RowExpansion;
using vlexif::SimdLevel;

// Every kernel with variants, named by the format it serves.
struct Kernel {
    const char* name;
    SimdLevel (*chosen)();
};

constexpr Kernel Kernels[] = {
    {"rgb24 swap", [] { return vlexif::ChosenSimdLevel(RowConversion::SwapRgb24); }},
    {"rgb48 reduce", [] { return vlexif::ChosenSimdLevel(RowConversion::ReduceRgb48); }},
    {"gray16 reduce", [] { return vlexif::ChosenSimdLevel(RowConversion::ReduceGray16); }},
    {"gray8 expand", [] { return vlexif::ChosenSimdLevel(RowExpansion::Gray8); }},
    {"indexed8 expand", [] { return vlexif::ChosenSimdLevel(RowExpansion::Indexed8); }},
    {"gray16 expand", [] { return vlexif::ChosenSimdLevel(RowExpansion::Gray16); }},
    {"4-bit expand", [] { return vlexif::ChosenSimdLevel(RowExpansion::FourBit); }},
    {"1-bit expand", [] { return vlexif::ChosenSimdLevel(RowExpansion::OneBit); }},
};

} // namespace

const char* const KernelVariantsCaveat =
    "the level is the plug-in's; the variants were timed again in vlscan, and the plug-in's own timing may "
    "have chosen another where two run about as fast";

std::string SimdLevelLine()
{
    const char* wanted = std::getenv("VLEXIF_SIMD");
    const SimdLevel active = vlexif::ActiveSimdLevel();
    std::string variable = wanted ? std::string("VLEXIF_SIMD=") + wanted : std::string("VLEXIF_SIMD not set");
    // A name that is no level, or none below the supported one, changes nothing.
    if (wanted && std::string(wanted) != vlexif::SimdLevelName(active)) {
        variable += ", ignored";
    }
    return std::string("level ") + vlexif::SimdLevelName(active) +
        " in force (supported: " + vlexif::SimdLevelName(vlexif::SupportedSimdLevel()) + ", " + variable + ")";
}

std::string KernelVariantsLine()
{
    std::string line;
    for (const Kernel& kernel : Kernels) {
        line += line.empty() ? "" : ", ";
        line += std::string(kernel.name) + " " + vlexif::SimdLevelName(kernel.chosen());
    }
    return line;
}

} // namespace vlscan
