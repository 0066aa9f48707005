#include "converter/survey/ChromaBlocks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vkexf {

namespace {

// Paper is the blocks at least this light (luma 0..255): text, pictures
// and shadows are below, and the paper of any scan above.
constexpr int64_t PaperLeastLuma = 160;
// Nor as coloured as a highlighter's line, a coloured sheet or the light
// parts of a sepia photograph (some 15 to 25): cream paper is about 9, and
// what passes for paper is taken out of every block, so a tone wrongly taken
// for paper would save a page of that one tone grey. Erring the other way
// only keeps a strongly tinted sheet in colour, as before.
constexpr int64_t PaperMostChroma = 14;

// A block's luma and chroma sums, scaled by 256: JPEG's weights in
// integers, each chroma row summing to zero, so R = G = B has none.
struct Tone {
    int64_t y, cb, cr;
};

Tone ToneOf(const BlockSums& s)
{
    const int64_t r = s.r, g = s.g, b = s.b;
    return {77 * r + 150 * g + 29 * b, -43 * r - 85 * g + 128 * b, 128 * r - 107 * g - 21 * b};
}

double Squared(double v)
{
    return v * v;
}

} // namespace

uint32_t LeastColourBlocksOf(uint32_t width, uint32_t height)
{
    const uint64_t blocks =
        uint64_t{(width + ChromaBlockSide - 1) / ChromaBlockSide} * ((height + ChromaBlockSide - 1) / ChromaBlockSide);
    return blocks < LeastColourBlocks ? static_cast<uint32_t>(blocks) : LeastColourBlocks;
}

bool SurelyColour(const BlockSums& block)
{
    // The paper's luma is at least PaperLeastLuma and its chroma at most
    // PaperMostChroma either way: scaled to the block, no more than this.
    const Tone tone = ToneOf(block);
    const double paperMost = static_cast<double>(tone.y) * PaperMostChroma / PaperLeastLuma;
    const double limit = double{ChromaThreshold} * 256.0 * block.pixels;
    const double cbOff = std::fmax(std::fabs(static_cast<double>(tone.cb)) - paperMost, 0.0);
    const double crOff = std::fmax(std::fabs(static_cast<double>(tone.cr)) - paperMost, 0.0);
    return Squared(cbOff) + Squared(crOff) > Squared(limit);
}

void PaperTone::Consider(const BlockSums& block)
{
    const Tone tone = ToneOf(block);
    const int64_t scale = 256 * int64_t{block.pixels};
    if (tone.y >= PaperLeastLuma * scale && std::llabs(tone.cb) <= PaperMostChroma * scale &&
        std::llabs(tone.cr) <= PaperMostChroma * scale) {
        y += tone.y;
        cb += tone.cb;
        cr += tone.cr;
    }
}

void PaperTone::Add(const PaperTone& other)
{
    y += other.y;
    cb += other.cb;
    cr += other.cr;
}

bool PaperTone::IsColour(const BlockSums& block) const
{
    const Tone tone = ToneOf(block);
    // The paper's chroma in the block's measure, ink being neutral: a block
    // half black text on cream paper is half as cream.
    const double share = y ? static_cast<double>(tone.y) / static_cast<double>(y) : 0.0;
    const double cbOff = static_cast<double>(tone.cb) - share * static_cast<double>(cb);
    const double crOff = static_cast<double>(tone.cr) - share * static_cast<double>(cr);
    const double limit = double{ChromaThreshold} * 256.0 * block.pixels;
    return Squared(cbOff) + Squared(crOff) > Squared(limit);
}

namespace {

// Sixteen bytes at a time, widened to two sets of eight sums by
// interleaving them with zeros (SSE2 on the shipped build).
typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Sums8 __attribute__((vector_size(16)));
constexpr uint32_t SumsStep = 16;

void AddWidened(const uint8_t* bytes, uint16_t* sums)
{
    Bytes16 in;
    std::memcpy(&in, bytes, sizeof in);
    const Bytes16 zero = {};
    const Bytes16 low = __builtin_shufflevector(in, zero, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
    const Bytes16 high =
        __builtin_shufflevector(in, zero, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
    Sums8 halves[2];
    std::memcpy(halves, sums, sizeof halves);
    halves[0] += reinterpret_cast<const Sums8&>(low);
    halves[1] += reinterpret_cast<const Sums8&>(high);
    std::memcpy(sums, halves, sizeof halves);
}

// Each page byte's column sum: eight rows of 255 fit in 16 bits.
uint32_t ColumnCount(uint32_t width)
{
    return (3 * width + SumsStep - 1) / SumsStep * SumsStep;
}

} // namespace

size_t ChromaRows::WorkBytes(uint32_t width)
{
    return size_t{(width + ChromaBlockSide - 1) / ChromaBlockSide} * sizeof(BlockSums) +
        size_t{ColumnCount(width)} * sizeof(uint16_t);
}

ChromaRows::ChromaRows(uint32_t width, void* work)
    : width(width),
      count((width + ChromaBlockSide - 1) / ChromaBlockSide),
      blocks(static_cast<BlockSums*>(work)),
      columns(reinterpret_cast<uint16_t*>(blocks + count))
{
    std::fill_n(blocks, count, BlockSums{});
    std::fill_n(columns, ColumnCount(width), uint16_t{0});
}

void ChromaRows::AddRow(const uint8_t* bgr)
{
    // Summed down the columns first, so that a row costs one widening add
    // a byte; the blocks are summed across once every block row.
    const uint32_t bytes = 3 * width;
    uint32_t at = 0;
    for (; at + SumsStep <= bytes; at += SumsStep) {
        AddWidened(bgr + at, columns + at);
    }
    for (; at < bytes; ++at) {
        columns[at] = static_cast<uint16_t>(columns[at] + bgr[at]);
    }
    ++rows;
}

void ChromaRows::CloseBlocks()
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t first = i * ChromaBlockSide;
        const uint32_t end = std::min(first + ChromaBlockSide, width);
        BlockSums& block = blocks[i];
        block = {};
        for (uint32_t at = 3 * first; at < 3 * end; at += 3) {
            block.b += columns[at];
            block.g += columns[at + 1];
            block.r += columns[at + 2];
        }
        block.pixels = (end - first) * rows;
    }
    std::fill_n(columns, ColumnCount(width), uint16_t{0});
    rows = 0;
}

uint32_t ChromaRows::TakeColourBlocks(const PaperTone& paper)
{
    CloseBlocks();
    uint32_t colour = 0;
    for (uint32_t i = 0; i < count; ++i) {
        colour += paper.IsColour(blocks[i]);
    }
    return colour;
}

uint32_t ChromaRows::SurelyColourBlocks() const
{
    uint32_t colour = 0;
    for (uint32_t i = 0; i < count; ++i) {
        colour += SurelyColour(blocks[i]);
    }
    return colour;
}

} // namespace vkexf
