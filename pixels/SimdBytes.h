// Unaligned 16- and 32-byte loads and stores shared by the row kernels'
// vector variants. Platform-free (x86 only).
#pragma once

#include "pixels/SimdLevel.h"

#include <cstdint>
#include <immintrin.h>

namespace vlexif::simd {

inline __m128i Load(const uint8_t* s)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
}

inline void Store(uint8_t* d, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
}

// pshufb's index for "leave this byte zero".
constexpr int8_t Zero = -1;

VLEXIF_AVX2 inline __m256i Load256(const uint8_t* s)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
}

VLEXIF_AVX2 inline void Store256(uint8_t* d, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), v);
}

// Two 16-byte pieces from anywhere, as the low and high lane of one register.
VLEXIF_AVX2 inline __m256i LoadLanes(const uint8_t* low, const uint8_t* high)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(Load(low)), Load(high), 1);
}

VLEXIF_AVX2 inline void StoreLanes(uint8_t* low, uint8_t* high, __m256i v)
{
    Store(low, _mm256_castsi256_si128(v));
    Store(high, _mm256_extracti128_si256(v, 1));
}

} // namespace vlexif::simd
