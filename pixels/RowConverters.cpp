#include "pixels/RowConverters.h"

#include "pixels/RowFrame.h"
#include "pixels/SimdBytes.h"
#include "pixels/VariantChoice.h"

#include <cstddef>
#include <cstring>
#include <iterator>

namespace vlexif {

namespace {

using namespace simd;

// One line of `width` pixels from s into d.
using RowFunction = void (*)(const uint8_t* s, uint8_t* d, int32_t width);

// The plain per-pixel rules: the oracle of the vector variants, and the tail
// of each vector loop.

void SwapRowPlain(const uint8_t* s, uint8_t* d, int32_t width)
{
    for (int32_t j = 0; j < width; ++j, s += 3, d += 3) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
    }
}

void ReduceRgb48RowPlain(const uint8_t* s, uint8_t* d, int32_t width)
{
    for (int32_t j = 0; j < width; ++j, s += 6, d += 3) {
        d[0] = s[5];
        d[1] = s[3];
        d[2] = s[1];
    }
}

void ReduceGray16RowPlain(const uint8_t* s, uint8_t* d, int32_t width)
{
    for (int32_t j = 0; j < width; ++j) {
        d[j] = s[2 * j + 1];
    }
}

// SSE2. Sixteen red, green, blue pixels in three registers become blue,
// green, red: each pixel's first and third bytes trade places. The
// neighbours' bytes come in by whole-register byte shifts; masks pick, per
// position, the byte itself (green), the one two places on (blue) or the one
// two places back (red). The compiler builds them: a static built at first
// use would take the C++ runtime's guard lock, a semaphore the DLL never
// gives back.
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

constexpr SwapMasks SwapMasks;

__m128i Mask(const uint8_t (&mask)[48], int k)
{
    return _mm_load_si128(reinterpret_cast<const __m128i*>(mask + 16 * std::ptrdiff_t{k}));
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
        return _mm_or_si128(_mm_and_si128(same, Mask(SwapMasks.same, k)),
                            _mm_or_si128(_mm_and_si128(ahead, Mask(SwapMasks.ahead, k)),
                                         _mm_and_si128(behind, Mask(SwapMasks.behind, k))));
    };
    Store(d, pick(0, a0, ahead0, behind0));
    Store(d + 16, pick(1, a1, ahead1, behind1));
    Store(d + 32, pick(2, a2, ahead2, behind2));
}

// The high bytes of sixteen 16-bit samples, in order.
__m128i HighBytes(const uint8_t* s)
{
    return _mm_packus_epi16(_mm_srli_epi16(Load(s), 8), _mm_srli_epi16(Load(s + 16), 8));
}

void SwapRowSse2(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
    for (; j + 16 <= width; j += 16, s += 48, d += 48) {
        StoreSwapped(Load(s), Load(s + 16), Load(s + 32), d);
    }
    SwapRowPlain(s, d, width - j);
}

void ReduceRgb48RowSse2(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
    for (; j + 16 <= width; j += 16, s += 96, d += 48) {
        StoreSwapped(HighBytes(s), HighBytes(s + 32), HighBytes(s + 64), d);
    }
    ReduceRgb48RowPlain(s, d, width - j);
}

void ReduceGray16RowSse2(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
    for (; j + 16 <= width; j += 16, s += 32, d += 16) {
        Store(d, HighBytes(s));
    }
    ReduceGray16RowPlain(s, d, width - j);
}

// SSSE3 and AVX2 reorder bytes with pshufb. Four pixels (twelve bytes) are
// read and written sixteen bytes at a time; the four bytes past them belong
// to the next four pixels, which are written after them. So each loop stops
// while whole sixteen-byte reads and writes still fit the line, and the plain
// rule does the rest.

VLEXIF_SSSE3 void SwapRowSsse3(const uint8_t* s, uint8_t* d, int32_t width)
{
    const __m128i swap = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
    int32_t j = 0;
    // 3 × 18 bytes cover the last read and write, at s + 36 and d + 36.
    for (; j + 18 <= width; j += 16, s += 48, d += 48) {
        const __m128i p0 = _mm_shuffle_epi8(Load(s), swap);
        const __m128i p1 = _mm_shuffle_epi8(Load(s + 12), swap);
        const __m128i p2 = _mm_shuffle_epi8(Load(s + 24), swap);
        const __m128i p3 = _mm_shuffle_epi8(Load(s + 36), swap);
        Store(d, p0);
        Store(d + 12, p1);
        Store(d + 24, p2);
        Store(d + 36, p3);
    }
    SwapRowPlain(s, d, width - j);
}

constexpr int8_t Z = simd::Zero;

// Two RGB48 pixels from the start of each of a and b, their high bytes as
// blue, green, red: a's in bytes 0 to 5, b's in 6 to 11, zeros after.
VLEXIF_SSSE3 __m128i ReducePairs(__m128i a, __m128i b)
{
    const __m128i first = _mm_setr_epi8(5, 3, 1, 11, 9, 7, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z);
    const __m128i second = _mm_setr_epi8(Z, Z, Z, Z, Z, Z, 5, 3, 1, 11, 9, 7, Z, Z, Z, Z);
    return _mm_or_si128(_mm_shuffle_epi8(a, first), _mm_shuffle_epi8(b, second));
}

VLEXIF_SSSE3 void ReduceRgb48RowSsse3(const uint8_t* s, uint8_t* d, int32_t width)
{
    int32_t j = 0;
    // Eight pixels a step; the last write, at d + 12, needs 28 bytes of line.
    for (; j + 10 <= width; j += 8, s += 48, d += 24) {
        const __m128i p0 = ReducePairs(Load(s), Load(s + 12));
        const __m128i p1 = ReducePairs(Load(s + 24), Load(s + 36));
        Store(d, p0);
        Store(d + 12, p1);
    }
    ReduceRgb48RowPlain(s, d, width - j);
}

// Eight pixels a step, read and written 32 bytes at a time (the last eight
// bytes are the next step's): vpermd opens a gap so that pixels 4 to 7 start
// the high lane, pshufb swaps within each lane, vpermd closes the gap again.
// Measured faster than two 16-byte reads and writes per register.
VLEXIF_AVX2 void SwapRowAvx2(const uint8_t* s, uint8_t* d, int32_t width)
{
    const __m256i swap = _mm256_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15, 2, 1, 0, 5, 4, 3, 8, 7,
                                          6, 11, 10, 9, 12, 13, 14, 15);
    const __m256i open = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
    const __m256i close = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    int32_t j = 0;
    for (; j + 11 <= width; j += 8, s += 24, d += 24) {
        const __m256i v = _mm256_permutevar8x32_epi32(Load256(s), open);
        Store256(d, _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, swap), close));
    }
    SwapRowPlain(s, d, width - j);
}

VLEXIF_AVX2 void ReduceRgb48RowAvx2(const uint8_t* s, uint8_t* d, int32_t width)
{
    const __m256i first = _mm256_setr_epi8(5, 3, 1, 11, 9, 7, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, 5, 3, 1, 11, 9, 7, Z, Z, Z,
                                           Z, Z, Z, Z, Z, Z, Z);
    const __m256i second = _mm256_setr_epi8(Z, Z, Z, Z, Z, Z, 5, 3, 1, 11, 9, 7, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, 5, 3, 1,
                                            11, 9, 7, Z, Z, Z, Z);
    int32_t j = 0;
    for (; j + 10 <= width; j += 8, s += 48, d += 24) {
        const __m256i a = _mm256_shuffle_epi8(LoadLanes(s, s + 24), first);
        const __m256i b = _mm256_shuffle_epi8(LoadLanes(s + 12, s + 36), second);
        StoreLanes(d, d + 12, _mm256_or_si256(a, b));
    }
    ReduceRgb48RowPlain(s, d, width - j);
}

// One variant per SimdLevel. Keeping only high bytes gains nothing from
// pshufb over SSE2's shift and pack, and measured slower in 32-byte registers.
constexpr RowFunction SwapRowVariants[SimdLevelCount] = {SwapRowPlain, SwapRowSse2, SwapRowSsse3, SwapRowAvx2};
constexpr RowFunction ReduceRgb48RowVariants[SimdLevelCount] = {ReduceRgb48RowPlain, ReduceRgb48RowSse2,
                                                                ReduceRgb48RowSsse3, ReduceRgb48RowAvx2};
constexpr RowFunction ReduceGray16RowVariants[SimdLevelCount] = {ReduceGray16RowPlain, ReduceGray16RowSse2,
                                                                 ReduceGray16RowSse2, ReduceGray16RowSse2};

constexpr const RowFunction (*Variants[])[SimdLevelCount] = {&SwapRowVariants, &ReduceRgb48RowVariants,
                                                             &ReduceGray16RowVariants};
KernelChoice choices[std::size(Variants)];

// TimedLines lines of TimedWidth pixels in each variant.
SimdLevel FastestRow(const RowFunction (&variants)[SimdLevelCount], SimdLevel cap)
{
    constexpr std::ptrdiff_t SourceBytes = 6 * TimedWidth; // the widest: RGB48
    uint8_t source[SourceBytes * TimedLines];
    uint8_t out[3 * TimedWidth * TimedLines];
    for (size_t i = 0; i < sizeof source; ++i) {
        source[i] = static_cast<uint8_t>(i * 37);
    }
    return FastestVariant(variants, cap, [&](RowFunction convert) {
        const uint64_t start = Ticks();
        for (std::ptrdiff_t line = 0; line < TimedLines; ++line) {
            convert(source + SourceBytes * line, out + 3 * TimedWidth * line, TimedWidth);
        }
        return Ticks() - start;
    });
}

void ConvertRows(RowConversion conversion, const HostBlock& block, uint32_t sourceDistance, uint8_t* out,
                 uint32_t outStride)
{
    const RowFunction convert =
        (*Variants[static_cast<int>(conversion)])[static_cast<int>(ChosenSimdLevel(conversion))];
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [convert, width](const uint8_t* s, uint8_t* d) { convert(s, d, width); });
}

} // namespace

SimdLevel ChosenSimdLevel(RowConversion conversion)
{
    const int k = static_cast<int>(conversion);
    return choices[k].Level(*Variants[k], FastestRow);
}

void SwapRgb24Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    ConvertRows(RowConversion::SwapRgb24, block, sourceDistance, out, outStride);
}

void ReduceRgb48Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    ConvertRows(RowConversion::ReduceRgb48, block, sourceDistance, out, outStride);
}

void ReduceGray16Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    ConvertRows(RowConversion::ReduceGray16, block, sourceDistance, out, outStride);
}

void CopyRows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [outStride](const uint8_t* s, uint8_t* d) { std::memcpy(d, s, outStride); });
}

} // namespace vlexif
