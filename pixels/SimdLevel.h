// The instruction-set levels the row kernels may run at, probed once per
// module load. Every kernel keeps one variant per level, the plain per-pixel
// one first, and runs the fastest of those up to ActiveSimdLevel()
// (pixels/VariantChoice.h). Platform-free (x86 only).
#pragma once

#include <cstdint>
#include <optional>

namespace vlexif {

enum class SimdLevel : uint8_t { Plain, Sse2, Ssse3, Avx2 };
constexpr int SimdLevelCount = 4;

// What the processor and the operating system support (AVX2 only when the OS
// saves the YMM registers).
SimdLevel SupportedSimdLevel();

// The highest level a kernel may run at: the supported one, lowered by the
// environment variable VLEXIF_SIMD (plain, sse2, ssse3 or avx2) when that
// names a lower level. Every level gives the same bytes; only the speed differs.
SimdLevel ActiveSimdLevel();

// Pins every kernel to its variant of `level`; refused (false, nothing
// changed) above the supported level. Lets tests and benchmarks run each
// variant through the dispatch.
[[nodiscard]] bool UseSimdLevel(SimdLevel level);
// Ends the pin: each kernel runs its fastest variant again.
void UseFastestVariants();
// The level UseSimdLevel pinned, if any.
std::optional<SimdLevel> PinnedSimdLevel();

const char* SimdLevelName(SimdLevel level);

} // namespace vlexif

// Per-function instruction sets, so that nothing outside a variant uses them.
#define VLEXIF_SSSE3 __attribute__((target("ssse3")))
#define VLEXIF_AVX2 __attribute__((target("avx2")))
