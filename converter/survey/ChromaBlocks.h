// The tolerant colour test: whether a page shows colour beyond what a
// scanner gives a grey page (its sensor's noise, the one-pixel colour
// fringes a contact-image sensor puts on every edge, the paper's tint).
// The page is cut into blocks ChromaBlockSide pixels square from its
// top-left corner. A block is colour when the chroma of its mean strays
// from the paper's, scaled to the block's brightness (ink and paper mix),
// by more than ChromaThreshold; the page is colour from LeastColourBlocks
// such blocks on. Each block is judged from its own integer sums and the
// paper's, so the answer does not depend on how the rows were shared out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

// Eight rows: a grey page's MCU row, so that strips and sample bands hold
// whole rows of blocks. Averaging 64 pixels takes a scanner's noise down
// eightfold, and a one-pixel fringe along a block's side to an eighth,
// while a 2-pixel pen stroke still covers a quarter of the blocks it crosses.
constexpr uint32_t ChromaBlockSide = 8;

// In JPEG chroma units (Cb, Cr on the 0..255 scale), near white about
// CIELAB chroma units. On the calibration set of generated 100 dpi scans the
// grey pages' blocks reach at most 7.0 (one-pixel fringes of 90 levels on
// every stroke edge with noise of 6; 6.5 for cream paper after a JPEG at
// quality 50; noise alone of 12 a channel, 5.3), and the faintest colour,
// form fields about 10 of CIELAB chroma bluer than their cream paper, gives
// its blocks about 12. Nine sits between, with room on both sides.
constexpr int ChromaThreshold = 9;

// Three blocks, not one: a speck of dust or a coloured fibre in the paper
// can colour one or two, while the smallest mark worth its colour, a red
// stamp 5 mm across at 100 dpi drawn 2 pixels thick, gives four well above
// the threshold (a pen's signature some forty). A page of fewer blocks is
// colour when all of them are.
constexpr uint32_t LeastColourBlocks = 3;
uint32_t LeastColourBlocksOf(uint32_t width, uint32_t height);

// The pixel sums of one block.
struct BlockSums {
    uint32_t b = 0;
    uint32_t g = 0;
    uint32_t r = 0;
    uint32_t pixels = 0;
};

// Whether `block` is colour against any paper PaperTone may learn: then the
// page's sample need not wait for the paper.
bool SurelyColour(const BlockSums& block);

// The paper's colour, from the light, near-neutral blocks it is shown.
class PaperTone {
public:
    void Consider(const BlockSums& block);
    void Add(const PaperTone& other);
    // Whether `block` is colour against this paper.
    bool IsColour(const BlockSums& block) const;

private:
    int64_t y = 0;
    int64_t cb = 0;
    int64_t cr = 0;
};

// One row of blocks, summed as page rows come.
class ChromaRows {
public:
    // Working memory for a page `width` pixels wide: 8 bytes a column.
    static size_t WorkBytes(uint32_t width);
    // `work`: WorkBytes(width) bytes aligned for uint32_t, owned by the
    // caller and cleared here.
    ChromaRows(uint32_t width, void* work);

    // Adds a row of `width` BGR pixels, at most ChromaBlockSide of them
    // between two CloseBlocks.
    void AddRow(const uint8_t* bgr);
    // Sums the rows added since the last call into the blocks, left to right.
    void CloseBlocks();
    const BlockSums* Blocks() const { return blocks; }
    // Closes the blocks: how many are colour against `paper`.
    uint32_t TakeColourBlocks(const PaperTone& paper);
    // How many of the closed blocks are SurelyColour.
    uint32_t SurelyColourBlocks() const;

private:
    uint32_t width;
    uint32_t count;
    uint32_t rows = 0;
    BlockSums* blocks;
    uint16_t* columns;
};

} // namespace vkexf
