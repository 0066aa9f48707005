#include "pixels/SimdLevel.h"

#include <atomic>
#include <cpuid.h>
#include <cstdlib>
#include <cstring>

namespace vlexif {

namespace {

constexpr const char* LevelNames[SimdLevelCount] = {"plain", "sse2", "ssse3", "avx2"};
constexpr int Unresolved = -1;
constexpr int NotPinned = -1;

// A plain global, constant-initialised: a function-local static would take
// the C++ runtime's guard lock, a semaphore the DLL never gives back. Threads
// that resolve it at once all store the same value.
std::atomic<int> activeLevel{Unresolved};
std::atomic<int> pinnedLevel{NotPinned};

// The extended-state mask the OS enables: bits 1 and 2 are the XMM and YMM
// registers it saves on a context switch.
uint32_t EnabledStateMask()
{
    uint32_t low = 0;
    uint32_t high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return low;
}

SimdLevel LevelFromEnvironment(SimdLevel supported)
{
    const char* wanted = std::getenv("VLEXIF_SIMD");
    if (wanted == nullptr) {
        return supported;
    }
    for (int level = 0; level < static_cast<int>(supported); ++level) {
        if (std::strcmp(wanted, LevelNames[level]) == 0) {
            return static_cast<SimdLevel>(level);
        }
    }
    return supported;
}

} // namespace

SimdLevel SupportedSimdLevel()
{
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    unsigned d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (d & bit_SSE2) == 0) {
        return SimdLevel::Plain;
    }
    if ((c & bit_SSSE3) == 0) {
        return SimdLevel::Sse2;
    }
    constexpr uint32_t XmmAndYmm = 0x6;
    if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0 || (EnabledStateMask() & XmmAndYmm) != XmmAndYmm) {
        return SimdLevel::Ssse3;
    }
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d) == 0 || (b & bit_AVX2) == 0) {
        return SimdLevel::Ssse3;
    }
    return SimdLevel::Avx2;
}

SimdLevel ActiveSimdLevel()
{
    int level = activeLevel.load(std::memory_order_relaxed);
    if (level == Unresolved) {
        level = static_cast<int>(LevelFromEnvironment(SupportedSimdLevel()));
        activeLevel.store(level, std::memory_order_relaxed);
    }
    return static_cast<SimdLevel>(level);
}

bool UseSimdLevel(SimdLevel level)
{
    if (level > SupportedSimdLevel()) {
        return false;
    }
    pinnedLevel.store(static_cast<int>(level), std::memory_order_relaxed);
    return true;
}

void UseFastestVariants()
{
    pinnedLevel.store(NotPinned, std::memory_order_relaxed);
}

std::optional<SimdLevel> PinnedSimdLevel()
{
    const int level = pinnedLevel.load(std::memory_order_relaxed);
    if (level == NotPinned) {
        return std::nullopt;
    }
    return static_cast<SimdLevel>(level);
}

const char* SimdLevelName(SimdLevel level)
{
    return LevelNames[static_cast<int>(level)];
}

} // namespace vlexif
