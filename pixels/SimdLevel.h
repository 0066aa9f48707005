// The instruction-set level the row kernels run at, probed once per module
// load. Every kernel keeps one variant per level, the plain per-pixel one
// first; a kernel picks its variant from ActiveSimdLevel() on every call.
// Platform-free (x86 only).
#pragma once

#include <cstdint>

namespace vlexif {

enum class SimdLevel : uint8_t { Plain, Sse2, Ssse3, Avx2 };
constexpr int SimdLevelCount = 4;

// What the processor and the operating system support (AVX2 only when the OS
// saves the YMM registers).
SimdLevel SupportedSimdLevel();

// The level in force: the supported one, lowered by the environment variable
// VLEXIF_SIMD (plain, sse2, ssse3 or avx2) when that names a lower level.
// Every level gives the same bytes; only the speed differs.
SimdLevel ActiveSimdLevel();

// Puts `level` in force; refused (false, nothing changed) above the supported
// level. Lets tests and benchmarks run each variant through the dispatch.
[[nodiscard]] bool UseSimdLevel(SimdLevel level);

const char* SimdLevelName(SimdLevel level);

} // namespace vlexif

// Per-function instruction sets, so that nothing outside a variant uses them.
#define VLEXIF_SSSE3 __attribute__((target("ssse3")))
#define VLEXIF_AVX2 __attribute__((target("avx2")))
