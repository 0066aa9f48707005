#include "converter/jpeg/HuffmanTables.h"

#include <algorithm>
#include <iterator>

namespace vkexf {

namespace {

constexpr int LookaheadBits = 9;
constexpr int MaxCodeBits = 16;
// Deep enough for any Huffman tree over counts that fit 32 bits, before the
// lengths are cut to 16.
constexpr int MaxTreeDepth = 64;
constexpr int DcCategories = 12;
constexpr int AcSizes = 10;

// One table ready for decoding: codes of up to LookaheadBits bits in one
// look, longer ones by length.
class Decoder {
public:
    explicit Decoder(const HuffmanTable& table)
    {
        int code = 0;
        int next = 0;
        for (int length = 1; length <= MaxCodeBits; ++length) {
            first[length] = next;
            firstCode[length] = code;
            for (int i = 0; i < table.bits[length]; ++i, ++code, ++next) {
                if (length <= LookaheadBits) {
                    const int shift = LookaheadBits - length;
                    for (int fill = 0; fill < 1 << shift; ++fill) {
                        lookahead[(code << shift) | fill] = static_cast<uint16_t>(length << 8 | table.values[next]);
                    }
                }
            }
            lastCode[length] = code - 1; // -1 and below: no code of this length
            code <<= 1;
        }
        values = table.values;
    }

    // The symbol whose code begins the 32 bits in `peek`, and its length;
    // false when no code matches.
    bool Decode(uint32_t peek, int& length, uint8_t& symbol) const
    {
        if (const uint16_t entry = lookahead[peek >> (32 - LookaheadBits)]) {
            length = entry >> 8;
            symbol = static_cast<uint8_t>(entry);
            return true;
        }
        for (length = LookaheadBits + 1; length <= MaxCodeBits; ++length) {
            const auto code = static_cast<int>(peek >> (32 - length));
            if (code <= lastCode[length]) {
                symbol = values[first[length] + code - firstCode[length]];
                return true;
            }
        }
        return false;
    }

private:
    uint16_t lookahead[1 << LookaheadBits] = {};
    int first[MaxCodeBits + 1] = {};
    int firstCode[MaxCodeBits + 1] = {};
    int lastCode[MaxCodeBits + 1] = {};
    const uint8_t* values = nullptr;
};

// Entropy-coded bytes as bits: stuffed zeros dropped, and zeros for ever
// once a marker or the end comes.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : next(data), end(data + size) {}

    uint32_t Peek()
    {
        while (held <= 56) {
            uint64_t byte = 0;
            if (next < end && !(*next == 0xFF && (next + 1 == end || next[1] != 0))) {
                byte = *next;
                next += byte == 0xFF ? 2 : 1;
            }
            bits |= byte << (56 - held);
            held += 8;
        }
        return static_cast<uint32_t>(bits >> 32);
    }
    void Skip(int count)
    {
        bits <<= count;
        held -= count;
    }

private:
    const uint8_t* next;
    const uint8_t* end;
    uint64_t bits = 0;
    int held = 0;
};

// One block's symbols; false on a code no table holds or a run past the
// block. A symbol's code and the bits of the value after it are at most 27
// bits, so one look at the next 32 serves both.
bool CountBlock(BitReader& reader, const Decoder& dc, const Decoder& ac, uint32_t (&dcCounts)[256],
                uint32_t (&acCounts)[256])
{
    int length = 0;
    uint8_t symbol = 0;
    if (!dc.Decode(reader.Peek(), length, symbol) || symbol >= DcCategories) {
        return false;
    }
    ++dcCounts[symbol];
    reader.Skip(length + symbol);
    int k = 1;
    while (k < 64) {
        if (!ac.Decode(reader.Peek(), length, symbol)) {
            return false;
        }
        ++acCounts[symbol];
        const int run = symbol >> 4;
        const int size = symbol & 15;
        reader.Skip(length + size);
        if (size == 0 && run != 15) {
            return true; // end of block
        }
        k += run + 1; // a run of sixteen zeros is 0xF0
    }
    return k == 64;
}

} // namespace

void SymbolCounts::Add(const SymbolCounts& other)
{
    for (int table = 0; table < 2; ++table) {
        for (int symbol = 0; symbol < 256; ++symbol) {
            dc[table][symbol] += other.dc[table][symbol];
            ac[table][symbol] += other.ac[table][symbol];
        }
    }
}

bool CountScanSymbols(const uint8_t* data, size_t size, uint64_t mcus, int lumaBlocks, int chromaBlocks,
                      const HuffmanTable (&dc)[2], const HuffmanTable (&ac)[2], SymbolCounts& counts)
{
    const Decoder dcDecoders[2] = {Decoder(dc[0]), Decoder(dc[1])};
    const Decoder acDecoders[2] = {Decoder(ac[0]), Decoder(ac[1])};
    BitReader reader(data, size);
    for (uint64_t mcu = 0; mcu < mcus; ++mcu) {
        for (int block = 0; block < lumaBlocks + chromaBlocks; ++block) {
            const int table = block < lumaBlocks ? 0 : 1;
            if (!CountBlock(reader, dcDecoders[table], acDecoders[table], counts.dc[table], counts.ac[table])) {
                return false;
            }
        }
    }
    return true;
}

HuffmanTable FittedTable(const uint32_t (&counts)[256], bool dc)
{
    // Symbol 256 holds the all-ones code back, as JPEG requires.
    uint64_t weight[257] = {};
    for (int symbol = 0; symbol < 256; ++symbol) {
        weight[symbol] = counts[symbol];
    }
    weight[256] = 1;
    auto everyone = [&](int symbol) { weight[symbol] = std::max<uint64_t>(weight[symbol], 1); };
    if (dc) {
        for (int category = 0; category < DcCategories; ++category) {
            everyone(category);
        }
    } else {
        everyone(0x00); // end of block
        everyone(0xF0); // sixteen zeros
        for (int run = 0; run < 16; ++run) {
            for (int size = 1; size <= AcSizes; ++size) {
                everyone(run << 4 | size);
            }
        }
    }

    // Huffman's construction: join the two lightest trees until one is left;
    // `next` chains the symbols of a tree so all of them get one bit deeper.
    int depth[257] = {};
    int next[257];
    std::fill(std::begin(next), std::end(next), -1);
    for (;;) {
        int lightest = -1;
        int second = -1;
        for (int symbol = 0; symbol <= 256; ++symbol) {
            if (!weight[symbol]) {
                continue;
            }
            // Of equal weights the higher symbol goes first.
            if (lightest < 0 || weight[symbol] <= weight[lightest]) {
                second = lightest;
                lightest = symbol;
            } else if (second < 0 || weight[symbol] <= weight[second]) {
                second = symbol;
            }
        }
        if (second < 0) {
            break;
        }
        weight[lightest] += weight[second];
        weight[second] = 0;
        int tail = lightest;
        for (++depth[tail]; next[tail] >= 0; ++depth[tail]) {
            tail = next[tail];
        }
        next[tail] = second;
        for (int symbol = second; symbol >= 0; symbol = next[symbol]) {
            ++depth[symbol];
        }
    }

    // Codes longer than 16 bits are moved up a level at a time, each pair
    // taking the place of one shorter code that becomes two.
    int lengths[MaxTreeDepth + 1] = {};
    for (int symbol = 0; symbol <= 256; ++symbol) {
        if (depth[symbol]) {
            ++lengths[std::min(depth[symbol], MaxTreeDepth)];
        }
    }
    for (int length = MaxTreeDepth; length > MaxCodeBits; --length) {
        while (lengths[length] > 0) {
            int shorter = length - 2;
            while (lengths[shorter] == 0) {
                --shorter;
            }
            lengths[length] -= 2;
            lengths[length - 1] += 1;
            lengths[shorter + 1] += 2;
            lengths[shorter] -= 1;
        }
    }
    // The held-back code was one of the longest.
    int longest = MaxCodeBits;
    while (lengths[longest] == 0) {
        --longest;
    }
    --lengths[longest];

    HuffmanTable table = {};
    for (int length = 1; length <= MaxCodeBits; ++length) {
        table.bits[length] = static_cast<uint8_t>(lengths[length]);
    }
    // Symbols by their tree depth, then by value; the cut only shortens
    // deep codes, so that order still runs from most to least frequent.
    int placed = 0;
    for (int level = 1; level <= MaxTreeDepth; ++level) {
        for (int symbol = 0; symbol < 256; ++symbol) {
            if (depth[symbol] == level) {
                table.values[placed++] = static_cast<uint8_t>(symbol);
            }
        }
    }
    return table;
}

} // namespace vkexf
