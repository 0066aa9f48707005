// Huffman tables fitted to a page: the symbols of baseline JPEG scans
// counted by decoding them, and the code lengths those counts call for.
// The counts come from a sample of the page, so every symbol a table can
// carry gets a code: whatever the rest of the page holds, it encodes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

// A table as a DHT segment and libjpeg hold it: bits[n] codes of n bits for
// n = 1..16, then the symbols in code order.
struct HuffmanTable {
    uint8_t bits[17];
    uint8_t values[256];
};

// Table 0 serves luminance, table 1 both chroma components.
struct SymbolCounts {
    uint32_t dc[2][256];
    uint32_t ac[2][256];

    void Add(const SymbolCounts& other);
};

// Counts the symbols of `mcus` MCUs of entropy-coded data coded with the
// tables `dc` and `ac`, each MCU `lumaBlocks` luminance blocks (4 when chroma
// is halved both ways, else 1) followed by `chromaBlocks` (2 for colour, 0
// for one component). False when the data does not decode with those tables.
[[nodiscard]] bool CountScanSymbols(const uint8_t* data, size_t size, uint64_t mcus, int lumaBlocks, int chromaBlocks,
                                    const HuffmanTable (&dc)[2], const HuffmanTable (&ac)[2], SymbolCounts& counts);

// The shortest code lengths of at most 16 bits for `counts`, with a code for
// every DC category (0..11) or every AC symbol (EOB, ZRL, runs 0..15 of
// sizes 1..10) of 8-bit samples, seen or not, and no code of all ones.
HuffmanTable FittedTable(const uint32_t (&counts)[256], bool dc);

} // namespace vkexf
