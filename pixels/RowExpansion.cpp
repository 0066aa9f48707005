#include "pixels/RowExpansion.h"

#include "pixels/RowFrame.h"
#include "pixels/SimdBytes.h"
#include "pixels/VariantChoice.h"

#include <cstddef>
#include <cstring>
#include <iterator>

namespace vlexif {

namespace {

using namespace simd;

using Palette = PaletteEntry[PaletteCapacity];
// One block through one variant; the grey expansion ignores the palette.
using BlockFunction = void (*)(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride);

template <class FillRow>
void ForEachLine(const HostBlock& block, uint8_t* out, uint32_t outStride, FillRow fillRow)
{
    ForEachRowBottomUp(block, static_cast<uint32_t>(block.bytesPerLine), out, outStride, fillRow);
}

// Where pixel j's index lies in each source format.
struct Byte {
    static constexpr int BytesPerPixel = 1;
    static uint8_t Index(const uint8_t* s, int32_t j) { return s[j]; }
};
struct HighByte {
    static constexpr int BytesPerPixel = 2;
    static uint8_t Index(const uint8_t* s, int32_t j) { return s[2 * j + 1]; }
};
struct Nibble {
    static uint8_t Index(const uint8_t* s, int32_t j) { return j % 2 == 0 ? s[j / 2] >> 4 : s[j / 2] & 0x0F; }
};
struct Bit {
    static uint8_t Index(const uint8_t* s, int32_t j) { return (s[j / 8] >> (7 - j % 8)) & 1; }
};

// The plain per-pixel rules: the oracle of the faster variants, and their tails.

void GreyPixelsPlain(const uint8_t* s, uint8_t* d, int32_t width)
{
    for (int32_t j = 0; j < width; ++j, d += 3) {
        d[0] = d[1] = d[2] = s[j];
    }
}

// Pixels `first` to width - 1 of a line, each its table entry.
template <class Source>
void LookUpPixelsPlain(const uint8_t* s, uint8_t* d, int32_t first, int32_t width, const Palette& table)
{
    for (int32_t j = first; j < width; ++j) {
        const PaletteEntry& entry = table[Source::Index(s, j)];
        uint8_t* pixel = d + 3 * std::ptrdiff_t{j};
        pixel[0] = entry.blue;
        pixel[1] = entry.green;
        pixel[2] = entry.red;
    }
}

void ExpandGray8Plain(const HostBlock& block, const Palette&, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachLine(block, out, outStride, [width](const uint8_t* s, uint8_t* d) { GreyPixelsPlain(s, d, width); });
}

template <class Source>
void LookUpPlain(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachLine(block, out, outStride,
                [&table, width](const uint8_t* s, uint8_t* d) { LookUpPixelsPlain<Source>(s, d, 0, width, table); });
}

// SSE2 and older: whole colours from a table of 32-bit words.

// A pixel's blue, green, red in the low three bytes, zero above.
using Colour = uint32_t;

Colour ColourOf(const PaletteEntry& entry)
{
    return entry.blue | entry.green << 8 | static_cast<Colour>(entry.red) << 16;
}

// Writes width pixels looked up by `Source`, four at a time as three 32-bit
// words (twelve bytes, blue, green, red each), the rest one by one.
template <class Source>
void WriteLookedUpRow(const Colour* colours, const uint8_t* s, int32_t width, uint8_t* row)
{
    int32_t j = 0;
    for (; j + 4 <= width; j += 4, row += 12) {
        const Colour c0 = colours[Source::Index(s, j)];
        const Colour c1 = colours[Source::Index(s, j + 1)];
        const Colour c2 = colours[Source::Index(s, j + 2)];
        const Colour c3 = colours[Source::Index(s, j + 3)];
        const uint32_t w0 = c0 | c1 << 24;
        const uint32_t w1 = c1 >> 8 | c2 << 16;
        const uint32_t w2 = c2 >> 16 | c3 << 8;
        std::memcpy(row, &w0, 4);
        std::memcpy(row + 4, &w1, 4);
        std::memcpy(row + 8, &w2, 4);
    }
    for (; j < width; ++j, row += 3) {
        std::memcpy(row, &colours[Source::Index(s, j)], 3);
    }
}

struct ColourTable {
    explicit ColourTable(const Palette& table)
    {
        for (uint32_t i = 0; i < PaletteCapacity; ++i) {
            colours[i] = ColourOf(table[i]);
        }
    }
    Colour colours[PaletteCapacity];
};

// Built by the compiler: a static built at first use would take the C++
// runtime's guard lock, a semaphore the DLL never gives back.
struct GreyTable {
    constexpr GreyTable()
    {
        for (uint32_t v = 0; v < 256; ++v) {
            colours[v] = v * 0x010101u;
        }
    }
    Colour colours[256] = {};
};

constexpr GreyTable Grey;

// The rows of one source byte's pixels, precomputed per block: each of the
// 256 byte values maps to its `pixelsPerByte` pixels as ready BGR bytes.
template <int PixelsPerByte>
struct ByteExpansion {
    static constexpr int Bits = 8 / PixelsPerByte;
    static constexpr std::ptrdiff_t BytesOut = std::ptrdiff_t{3} * PixelsPerByte;

    explicit ByteExpansion(const ColourTable& table)
    {
        for (int value = 0; value < 256; ++value) {
            for (int k = 0; k < PixelsPerByte; ++k) {
                const int index = (value >> (8 - Bits * (k + 1))) & ((1 << Bits) - 1);
                std::memcpy(&pixels[value][3 * k], &table.colours[index], 3);
            }
        }
    }

    void WriteRow(const uint8_t* source, int32_t width, uint8_t* row) const
    {
        const int32_t wholeBytes = width / PixelsPerByte;
        for (int32_t i = 0; i < wholeBytes; ++i) {
            std::memcpy(row + BytesOut * i, pixels[source[i]], BytesOut);
        }
        const int32_t rest = width % PixelsPerByte;
        if (rest != 0) {
            std::memcpy(row + BytesOut * wholeBytes, pixels[source[wholeBytes]], 3 * rest);
        }
    }

    uint8_t pixels[256][BytesOut];
};

void ExpandGray8Sse2(const HostBlock& block, const Palette&, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachLine(block, out, outStride,
                [width](const uint8_t* s, uint8_t* d) { WriteLookedUpRow<Byte>(Grey.colours, s, width, d); });
}

template <class Source>
void LookUpSse2(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const ColourTable colours(table);
    const int32_t width = block.width;
    ForEachLine(block, out, outStride, [&colours, width](const uint8_t* s, uint8_t* d) {
        WriteLookedUpRow<Source>(colours.colours, s, width, d);
    });
}

template <int PixelsPerByte>
void ExpandBytesSse2(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const ByteExpansion<PixelsPerByte> expansion{ColourTable(table)};
    const int32_t width = block.width;
    ForEachLine(block, out, outStride,
                [&expansion, width](const uint8_t* s, uint8_t* d) { expansion.WriteRow(s, width, d); });
}

// SSSE3 and AVX2: pshufb spreads each index to its three output bytes.

constexpr int8_t Z = Zero;

// Output bytes 0 to 47 of sixteen pixels: byte p takes pixel p / 3.
#define VLEXIF_SPREAD_0 0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5
#define VLEXIF_SPREAD_1 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10
#define VLEXIF_SPREAD_2 10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15

VLEXIF_SSSE3 void GreyRowSsse3(const uint8_t* s, uint8_t* d, int32_t width)
{
    const __m128i spread0 = _mm_setr_epi8(VLEXIF_SPREAD_0);
    const __m128i spread1 = _mm_setr_epi8(VLEXIF_SPREAD_1);
    const __m128i spread2 = _mm_setr_epi8(VLEXIF_SPREAD_2);
    int32_t j = 0;
    for (; j + 16 <= width; j += 16, s += 16, d += 48) {
        const __m128i v = Load(s);
        Store(d, _mm_shuffle_epi8(v, spread0));
        Store(d + 16, _mm_shuffle_epi8(v, spread1));
        Store(d + 32, _mm_shuffle_epi8(v, spread2));
    }
    GreyPixelsPlain(s, d, width - j);
}

VLEXIF_AVX2 void GreyRowAvx2(const uint8_t* s, uint8_t* d, int32_t width)
{
    // Thirty-two pixels make 96 bytes; each 16-byte lane of output takes its
    // pixels from the source lane that holds them.
    const __m256i spread01 = _mm256_setr_epi8(VLEXIF_SPREAD_0, VLEXIF_SPREAD_1);
    const __m256i spread20 = _mm256_setr_epi8(VLEXIF_SPREAD_2, VLEXIF_SPREAD_0);
    const __m256i spread12 = _mm256_setr_epi8(VLEXIF_SPREAD_1, VLEXIF_SPREAD_2);
    int32_t j = 0;
    for (; j + 32 <= width; j += 32, s += 32, d += 96) {
        const __m256i low = _mm256_broadcastsi128_si256(Load(s));
        const __m256i both = Load256(s);
        const __m256i high = _mm256_broadcastsi128_si256(Load(s + 16));
        Store256(d, _mm256_shuffle_epi8(low, spread01));
        Store256(d + 32, _mm256_shuffle_epi8(both, spread20));
        Store256(d + 64, _mm256_shuffle_epi8(high, spread12));
    }
    // The tail's SSE code would otherwise run with the upper halves of the
    // YMM registers in use, which costs some hundreds of cycles a line: GCC
    // leaves out its vzeroupper before a tail call.
    _mm256_zeroupper();
    GreyRowSsse3(s, d, width - j);
}

void ExpandGray8Ssse3(const HostBlock& block, const Palette&, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachLine(block, out, outStride, [width](const uint8_t* s, uint8_t* d) { GreyRowSsse3(s, d, width); });
}

void ExpandGray8Avx2(const HostBlock& block, const Palette&, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachLine(block, out, outStride, [width](const uint8_t* s, uint8_t* d) { GreyRowAvx2(s, d, width); });
}

// The first three bytes of each 32-bit colour, twelve bytes from sixteen.
#define VLEXIF_COMPACT 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, Z, Z, Z, Z

// Four colours a step, written as sixteen bytes of which the last four are
// the next step's; the loop stops while a whole write still fits the line.
template <class Source>
VLEXIF_SSSE3 void LookUpRowSsse3(const Colour* colours, const Palette& table, const uint8_t* s, uint8_t* d,
                                 int32_t width)
{
    const __m128i compact = _mm_setr_epi8(VLEXIF_COMPACT);
    int32_t j = 0;
    for (; j + 6 <= width; j += 4) {
        const __m128i c01 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(colours[Source::Index(s, j)])),
                                               _mm_cvtsi32_si128(static_cast<int>(colours[Source::Index(s, j + 1)])));
        const __m128i c23 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(colours[Source::Index(s, j + 2)])),
                                               _mm_cvtsi32_si128(static_cast<int>(colours[Source::Index(s, j + 3)])));
        Store(d + 3 * std::ptrdiff_t{j}, _mm_shuffle_epi8(_mm_unpacklo_epi64(c01, c23), compact));
    }
    LookUpPixelsPlain<Source>(s, d, j, width, table);
}

template <class Source>
void LookUpSsse3(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const ColourTable colours(table);
    const int32_t width = block.width;
    ForEachLine(block, out, outStride, [&colours, &table, width](const uint8_t* s, uint8_t* d) {
        LookUpRowSsse3<Source>(colours.colours, table, s, d, width);
    });
}

// Eight indices of a line as 32-bit lanes.
VLEXIF_AVX2 __m256i EightIndices(Byte, const uint8_t* s)
{
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
}

VLEXIF_AVX2 __m256i EightIndices(HighByte, const uint8_t* s)
{
    return _mm256_cvtepu16_epi32(_mm_srli_epi16(Load(s), 8));
}

// Eight colours gathered at once, compacted to twelve bytes in each lane and
// written as two sixteen-byte pieces, the last four bytes of each being
// written again after it (measured faster than closing the gap with vpermd
// for one 32-byte write).
template <class Source>
VLEXIF_AVX2 void LookUpRowAvx2(const Colour* colours, const Palette& table, const uint8_t* s, uint8_t* d, int32_t width)
{
    const __m256i compact = _mm256_setr_epi8(VLEXIF_COMPACT, VLEXIF_COMPACT);
    const int* base = reinterpret_cast<const int*>(colours);
    int32_t j = 0;
    for (; j + 10 <= width; j += 8) {
        const __m256i gathered = _mm256_i32gather_epi32(base, EightIndices(Source{}, s + Source::BytesPerPixel * j), 4);
        uint8_t* pixels = d + 3 * std::ptrdiff_t{j};
        StoreLanes(pixels, pixels + 12, _mm256_shuffle_epi8(gathered, compact));
    }
    LookUpPixelsPlain<Source>(s, d, j, width, table);
}

template <class Source>
void LookUpAvx2(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const ColourTable colours(table);
    const int32_t width = block.width;
    ForEachLine(block, out, outStride, [&colours, &table, width](const uint8_t* s, uint8_t* d) {
        LookUpRowAvx2<Source>(colours.colours, table, s, d, width);
    });
}

// Sixteen palette entries held in registers, one per colour channel.
struct NibbleTables {
    explicit NibbleTables(const Palette& table)
    {
        for (int i = 0; i < 16; ++i) {
            blue[i] = table[i].blue;
            green[i] = table[i].green;
            red[i] = table[i].red;
        }
    }
    alignas(16) uint8_t blue[16];
    alignas(16) uint8_t green[16];
    alignas(16) uint8_t red[16];
};

// Per output byte of 48, the channel it holds: 0 where it is that channel's,
// 0x80 elsewhere, so that pshufb leaves a zero there.
#define VLEXIF_NOT_0 0, Z, Z, 0, Z, Z, 0, Z, Z, 0, Z, Z, 0, Z, Z, 0
#define VLEXIF_NOT_1 Z, 0, Z, Z, 0, Z, Z, 0, Z, Z, 0, Z, Z, 0, Z, Z
#define VLEXIF_NOT_2 Z, Z, 0, Z, Z, 0, Z, Z, 0, Z, Z, 0, Z, Z, 0, Z

// Sixteen bytes of output from the pixel indices spread to them: each byte
// looked up in the table of its channel.
VLEXIF_SSSE3 __m128i LookUpChannels(__m128i spread, __m128i blue, __m128i green, __m128i red, __m128i notBlue,
                                    __m128i notGreen, __m128i notRed)
{
    return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(blue, _mm_or_si128(spread, notBlue)),
                                     _mm_shuffle_epi8(green, _mm_or_si128(spread, notGreen))),
                        _mm_shuffle_epi8(red, _mm_or_si128(spread, notRed)));
}

VLEXIF_SSSE3 void NibbleRowSsse3(const NibbleTables& tables, const Palette& table, const uint8_t* s, uint8_t* d,
                                 int32_t width)
{
    const __m128i blue = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.blue));
    const __m128i green = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.green));
    const __m128i red = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.red));
    const __m128i spread[3] = {_mm_setr_epi8(VLEXIF_SPREAD_0), _mm_setr_epi8(VLEXIF_SPREAD_1),
                               _mm_setr_epi8(VLEXIF_SPREAD_2)};
    // Output byte p of 48 holds channel p % 3; the pattern starts one
    // channel later in each following sixteen bytes.
    const __m128i not0 = _mm_setr_epi8(VLEXIF_NOT_0);
    const __m128i not1 = _mm_setr_epi8(VLEXIF_NOT_1);
    const __m128i not2 = _mm_setr_epi8(VLEXIF_NOT_2);
    const __m128i low = _mm_set1_epi8(0x0F);
    int32_t j = 0;
    for (; j + 32 <= width; j += 32) {
        const __m128i v = Load(s + j / 2);
        const __m128i left = _mm_and_si128(_mm_srli_epi16(v, 4), low);
        const __m128i right = _mm_and_si128(v, low);
        const __m128i indices[2] = {_mm_unpacklo_epi8(left, right), _mm_unpackhi_epi8(left, right)};
        for (std::ptrdiff_t half = 0; half < 2; ++half) {
            uint8_t* o = d + 3 * std::ptrdiff_t{j} + 48 * half;
            Store(o, LookUpChannels(_mm_shuffle_epi8(indices[half], spread[0]), blue, green, red, not0, not1, not2));
            Store(o + 16,
                  LookUpChannels(_mm_shuffle_epi8(indices[half], spread[1]), blue, green, red, not2, not0, not1));
            Store(o + 32,
                  LookUpChannels(_mm_shuffle_epi8(indices[half], spread[2]), blue, green, red, not1, not2, not0));
        }
    }
    LookUpPixelsPlain<Nibble>(s, d, j, width, table);
}

VLEXIF_AVX2 __m256i LookUpChannels(__m256i spread, __m256i blue, __m256i green, __m256i red, __m256i notBlue,
                                   __m256i notGreen, __m256i notRed)
{
    return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(blue, _mm256_or_si256(spread, notBlue)),
                                           _mm256_shuffle_epi8(green, _mm256_or_si256(spread, notGreen))),
                           _mm256_shuffle_epi8(red, _mm256_or_si256(spread, notRed)));
}

VLEXIF_AVX2 void NibbleRowAvx2(const NibbleTables& tables, const Palette& table, const uint8_t* s, uint8_t* d,
                               int32_t width)
{
    const __m256i blue = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.blue)));
    const __m256i green = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.green)));
    const __m256i red = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.red)));
    const __m256i spread0 = _mm256_setr_epi8(VLEXIF_SPREAD_0, VLEXIF_SPREAD_0);
    const __m256i spread1 = _mm256_setr_epi8(VLEXIF_SPREAD_1, VLEXIF_SPREAD_1);
    const __m256i spread2 = _mm256_setr_epi8(VLEXIF_SPREAD_2, VLEXIF_SPREAD_2);
    const __m256i not0 = _mm256_setr_epi8(VLEXIF_NOT_0, VLEXIF_NOT_0);
    const __m256i not1 = _mm256_setr_epi8(VLEXIF_NOT_1, VLEXIF_NOT_1);
    const __m256i not2 = _mm256_setr_epi8(VLEXIF_NOT_2, VLEXIF_NOT_2);
    const __m256i low = _mm256_set1_epi8(0x0F);
    int32_t j = 0;
    // Sixty-four pixels a step: the low lanes make the first 96 bytes, the
    // high lanes the next 96.
    for (; j + 64 <= width; j += 64) {
        const __m256i v = Load256(s + j / 2);
        const __m256i left = _mm256_and_si256(_mm256_srli_epi16(v, 4), low);
        const __m256i right = _mm256_and_si256(v, low);
        const __m256i indices[2] = {_mm256_unpacklo_epi8(left, right), _mm256_unpackhi_epi8(left, right)};
        for (std::ptrdiff_t half = 0; half < 2; ++half) {
            uint8_t* o = d + 3 * std::ptrdiff_t{j} + 48 * half;
            const __m256i i = indices[half];
            StoreLanes(o, o + 96, LookUpChannels(_mm256_shuffle_epi8(i, spread0), blue, green, red, not0, not1, not2));
            StoreLanes(o + 16, o + 112,
                       LookUpChannels(_mm256_shuffle_epi8(i, spread1), blue, green, red, not2, not0, not1));
            StoreLanes(o + 32, o + 128,
                       LookUpChannels(_mm256_shuffle_epi8(i, spread2), blue, green, red, not1, not2, not0));
        }
    }
    _mm256_zeroupper(); // as in GreyRowAvx2
    NibbleRowSsse3(tables, table, s + j / 2, d + 3 * std::ptrdiff_t{j}, width - j);
}

void Expand4BitSsse3(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const NibbleTables tables(table);
    const int32_t width = block.width;
    ForEachLine(block, out, outStride,
                [&tables, &table, width](const uint8_t* s, uint8_t* d) { NibbleRowSsse3(tables, table, s, d, width); });
}

void Expand4BitAvx2(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    const NibbleTables tables(table);
    const int32_t width = block.width;
    ForEachLine(block, out, outStride,
                [&tables, &table, width](const uint8_t* s, uint8_t* d) { NibbleRowAvx2(tables, table, s, d, width); });
}

// One variant per SimdLevel. The bilevel expansion writes each source byte's
// 24 bytes from a per-block table, which runs at store speed at every level.
constexpr BlockFunction ExpandGray8[SimdLevelCount] = {ExpandGray8Plain, ExpandGray8Sse2, ExpandGray8Ssse3,
                                                       ExpandGray8Avx2};
constexpr BlockFunction ExpandIndexed8[SimdLevelCount] = {LookUpPlain<Byte>, LookUpSse2<Byte>, LookUpSsse3<Byte>,
                                                          LookUpAvx2<Byte>};
constexpr BlockFunction ExpandGray16[SimdLevelCount] = {LookUpPlain<HighByte>, LookUpSse2<HighByte>,
                                                        LookUpSsse3<HighByte>, LookUpAvx2<HighByte>};
constexpr BlockFunction Expand4Bit[SimdLevelCount] = {LookUpPlain<Nibble>, ExpandBytesSse2<2>, Expand4BitSsse3,
                                                      Expand4BitAvx2};
constexpr BlockFunction Expand1Bit[SimdLevelCount] = {LookUpPlain<Bit>, ExpandBytesSse2<8>, ExpandBytesSse2<8>,
                                                      ExpandBytesSse2<8>};

constexpr const BlockFunction (*Variants[])[SimdLevelCount] = {&ExpandGray8, &ExpandIndexed8, &ExpandGray16,
                                                               &Expand4Bit, &Expand1Bit};
KernelChoice choices[std::size(Variants)];

// A block of TimedLines lines of TimedWidth pixels in each variant.
SimdLevel FastestBlock(const BlockFunction (&variants)[SimdLevelCount], SimdLevel cap)
{
    constexpr int32_t SourceBytes = 2 * TimedWidth; // the widest: grey16
    constexpr uint32_t OutStride = 3 * TimedWidth;
    uint8_t source[SourceBytes * TimedLines];
    uint8_t out[OutStride * TimedLines];
    Palette table;
    for (size_t i = 0; i < sizeof source; ++i) {
        source[i] = static_cast<uint8_t>(i * 37);
    }
    for (uint32_t i = 0; i < PaletteCapacity; ++i) {
        table[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(~i), static_cast<uint8_t>(i * 7), 0};
    }
    const HostBlock block{source, SourceBytes, TimedWidth, TimedLines, 0};
    return FastestVariant(variants, cap, [&](BlockFunction expand) {
        const uint64_t start = Ticks();
        expand(block, table, out, OutStride);
        return Ticks() - start;
    });
}

void Expand(RowExpansion expansion, const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    (*Variants[static_cast<int>(expansion)])[static_cast<int>(ChosenSimdLevel(expansion))](block, table, out,
                                                                                           outStride);
}

// The grey expansion reads no palette.
constexpr Palette NoPalette = {};

} // namespace

SimdLevel ChosenSimdLevel(RowExpansion expansion)
{
    const int k = static_cast<int>(expansion);
    return choices[k].Level(*Variants[k], FastestBlock);
}

void ExpandGray8Rows(const HostBlock& block, uint8_t* out, uint32_t outStride)
{
    Expand(RowExpansion::Gray8, block, NoPalette, out, outStride);
}

void ExpandIndexed8Rows(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    Expand(RowExpansion::Indexed8, block, table, out, outStride);
}

void ExpandGray16Rows(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    Expand(RowExpansion::Gray16, block, table, out, outStride);
}

void Expand4BitRows(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    Expand(RowExpansion::FourBit, block, table, out, outStride);
}

void Expand1BitRows(const HostBlock& block, const Palette& table, uint8_t* out, uint32_t outStride)
{
    Expand(RowExpansion::OneBit, block, table, out, outStride);
}

} // namespace vlexif
