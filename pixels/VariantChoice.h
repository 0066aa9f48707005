// Which of a kernel's variants runs. The fastest is not always the highest
// level: AVX2 gathers beat SSSE3's scalar loads on some processors and lose
// to them by half on others, and a microcode update can slow them down after
// the fact, so no rule on the processor's name holds. Each kernel therefore
// times its variants up to ActiveSimdLevel() on its first call, once per
// module load: a few runs over a few short lines, some tens of microseconds.
// Platform-free (x86 only).
#pragma once

#include "pixels/SimdLevel.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <x86intrin.h>

namespace vlexif {

// Runs of each variant; the shortest counts, so that an interrupt or a cold
// cache in one run does not decide.
constexpr int TimingTrials = 4;
// The lines a kernel is timed on: long enough for each variant's per-block
// set-up to weigh as little as in a real block.
constexpr int32_t TimedWidth = 1024;
constexpr int32_t TimedLines = 3;

// The level up to `cap` whose variant `time(variant)` finds fastest, in any
// unit. A variant several levels share is timed once, for the lowest of them;
// on a tie the lower level wins.
template <class Variant, class Time>
SimdLevel FastestVariant(const Variant (&variants)[SimdLevelCount], SimdLevel cap, Time time)
{
    int fastest = 0;
    uint64_t best = std::numeric_limits<uint64_t>::max();
    for (int level = 0; level <= static_cast<int>(cap); ++level) {
        if (level > 0 && variants[level] == variants[level - 1]) {
            continue;
        }
        uint64_t shortest = std::numeric_limits<uint64_t>::max();
        for (int trial = 0; trial < TimingTrials; ++trial) {
            const uint64_t taken = time(variants[level]);
            shortest = taken < shortest ? taken : shortest;
        }
        if (shortest < best) {
            best = shortest;
            fastest = level;
        }
    }
    return static_cast<SimdLevel>(fastest);
}

// Processor cycles: the finest clock there is, and an instruction, not a call.
inline uint64_t Ticks()
{
    return __rdtsc();
}

// One kernel's choice, kept for the module's life. A constant-initialised
// global like the level itself (a function-local static would take the C++
// runtime's guard lock); threads that time it at once may store different
// levels, each a variant that runs as well as the other.
class KernelChoice {
public:
    // The level whose variant runs: the one UseSimdLevel pinned, else the
    // fastest up to ActiveSimdLevel() as `fastest(variants, cap)` finds it.
    template <class Variant, class Fastest>
    SimdLevel Level(const Variant (&variants)[SimdLevelCount], Fastest fastest)
    {
        if (const std::optional<SimdLevel> pinned = PinnedSimdLevel()) {
            return *pinned;
        }
        int level = chosen.load(std::memory_order_relaxed);
        if (level == Unresolved) {
            level = static_cast<int>(fastest(variants, ActiveSimdLevel()));
            chosen.store(level, std::memory_order_relaxed);
        }
        return static_cast<SimdLevel>(level);
    }

private:
    static constexpr int Unresolved = -1;
    std::atomic<int> chosen{Unresolved};
};

} // namespace vlexif
