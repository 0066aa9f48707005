#include "spool/RowConverters.h"

#include "spool/RowFrame.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vlexif {

namespace {

#if defined(__SSE2__)
// Sixteen red, green, blue pixels in three registers become blue, green, red:
// each pixel's first and third bytes trade places. The neighbours' bytes come
// in by whole-register byte shifts; masks pick, per position, the byte itself
// (green), the one two places on (blue) or the one two places back (red).
// The compiler builds them: a static built at first use would take the C++
// runtime's guard lock, a semaphore the DLL never gives back.
struct SwapMasks {
    constexpr SwapMasks()
    {
        for (int i = 0; i < 48; ++i) {
            same[i] = i % 3 == 1 ? 0xFF : 0;
            ahead[i] = i % 3 == 0 ? 0xFF : 0;
            behind[i] = i % 3 == 2 ? 0xFF : 0;
        }
    }
    alignas(16) uint8_t same[48] = {};
    alignas(16) uint8_t ahead[48] = {};
    alignas(16) uint8_t behind[48] = {};
};

constexpr SwapMasks swapMasks;

__m128i Mask(const uint8_t (&mask)[48], int k)
{
    return _mm_load_si128(reinterpret_cast<const __m128i*>(mask + 16 * k));
}

void StoreSwapped(__m128i a0, __m128i a1, __m128i a2, uint8_t* d)
{
    const __m128i ahead0 = _mm_or_si128(_mm_srli_si128(a0, 2), _mm_slli_si128(a1, 14));
    const __m128i ahead1 = _mm_or_si128(_mm_srli_si128(a1, 2), _mm_slli_si128(a2, 14));
    const __m128i ahead2 = _mm_srli_si128(a2, 2);
    const __m128i behind0 = _mm_slli_si128(a0, 2);
    const __m128i behind1 = _mm_or_si128(_mm_slli_si128(a1, 2), _mm_srli_si128(a0, 14));
    const __m128i behind2 = _mm_or_si128(_mm_slli_si128(a2, 2), _mm_srli_si128(a1, 14));
    auto pick = [](int k, __m128i same, __m128i ahead, __m128i behind) {
        return _mm_or_si128(_mm_and_si128(same, Mask(swapMasks.same, k)),
                            _mm_or_si128(_mm_and_si128(ahead, Mask(swapMasks.ahead, k)),
                                         _mm_and_si128(behind, Mask(swapMasks.behind, k))));
    };
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), pick(0, a0, ahead0, behind0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), pick(1, a1, ahead1, behind1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), pick(2, a2, ahead2, behind2));
}

__m128i Load(const uint8_t* s)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
}

// The high bytes of sixteen 16-bit samples, in order.
__m128i HighBytes(const uint8_t* s)
{
    return _mm_packus_epi16(_mm_srli_epi16(Load(s), 8), _mm_srli_epi16(Load(s + 16), 8));
}

constexpr int32_t VectorPixels = 16;
#endif

void SwapRow(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + VectorPixels <= width; j += VectorPixels, s += 48, d += 48) {
        StoreSwapped(Load(s), Load(s + 16), Load(s + 32), d);
    }
#endif
    for (; j < width; ++j, s += 3, d += 3) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
    }
}

void ReduceRgb48Row(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + VectorPixels <= width; j += VectorPixels, s += 96, d += 48) {
        StoreSwapped(HighBytes(s), HighBytes(s + 32), HighBytes(s + 64), d);
    }
#endif
    for (; j < width; ++j, s += 6, d += 3) {
        d[0] = s[5];
        d[1] = s[3];
        d[2] = s[1];
    }
}

void ReduceGray16Row(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + VectorPixels <= width; j += VectorPixels) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j), HighBytes(s + 2 * static_cast<std::ptrdiff_t>(j)));
    }
#endif
    for (; j < width; ++j) {
        d[j] = s[2 * j + 1];
    }
}

} // namespace

void SwapRgb24Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [width](const uint8_t* s, uint8_t* d) { SwapRow(s, d, width); });
}

void ReduceRgb48Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [width](const uint8_t* s, uint8_t* d) { ReduceRgb48Row(s, d, width); });
}

void ReduceGray16Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [width](const uint8_t* s, uint8_t* d) { ReduceGray16Row(s, d, width); });
}

void CopyRows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [outStride](const uint8_t* s, uint8_t* d) { std::memcpy(d, s, outStride); });
}

} // namespace vlexif
