// Which row kernels a scan ran, for a bug report. The plug-in chooses inside
// VLEXIF.dll and exports nothing but its entry, so vlscan runs the same
// choice again in its own process, which the DLL shares: the level in force
// comes out the same (the same processor probe and the same VLEXIF_SIMD), but
// each kernel's variant is timed anew, and where two variants run about as
// fast the plug-in's own timing may have picked the other. Platform-free.
#pragma once

#include <string>

namespace vlscan {

// "level avx2 in force (supported: avx2, VLEXIF_SIMD not set)".
std::string SimdLevelLine();
// "rgb24 swap ssse3, ..., 1-bit expand sse2": each kernel and the level of
// the variant it runs in this process.
std::string KernelVariantsLine();
// What the two lines above are, and what they are not.
extern const char* const KernelVariantsCaveat;

} // namespace vlscan
