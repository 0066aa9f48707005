#include "converter/survey/ChromaBlocks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vkexf {

namespace {

// Paper is the blocks at least this light (luma 0..255): text, pictures
// and shadows are below, and the paper of any scan above.
constexpr int64_t PaperLeastLuma = 160;
// Nor as coloured as a highlighter's line or a coloured sheet: paper's
// tint stays well inside this (cream paper is about 9).
constexpr int64_t PaperMostChroma = 24;

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

size_t ChromaRows::WorkBytes(uint32_t width)
{
    return size_t{(width + ChromaBlockSide - 1) / ChromaBlockSide} * sizeof(BlockSums);
}

ChromaRows::ChromaRows(uint32_t width, void* work)
    : width(width), count((width + ChromaBlockSide - 1) / ChromaBlockSide), blocks(static_cast<BlockSums*>(work))
{
    Clear();
}

void ChromaRows::AddRow(const uint8_t* bgr)
{
    uint32_t x = 0;
    for (BlockSums* block = blocks; x < width; ++block) {
        const uint32_t end = x + ChromaBlockSide < width ? x + ChromaBlockSide : width;
        uint32_t b = 0, g = 0, r = 0;
        for (const uint8_t* p = bgr + 3 * x; x < end; ++x, p += 3) {
            b += p[0];
            g += p[1];
            r += p[2];
        }
        block->b += b;
        block->g += g;
        block->r += r;
        block->pixels += end - (block - blocks) * ChromaBlockSide;
    }
}

uint32_t ChromaRows::TakeColourBlocks(const PaperTone& paper)
{
    uint32_t colour = 0;
    for (uint32_t i = 0; i < count; ++i) {
        colour += paper.IsColour(blocks[i]);
    }
    Clear();
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

void ChromaRows::Clear()
{
    std::fill_n(blocks, count, BlockSums{});
}

} // namespace vkexf
