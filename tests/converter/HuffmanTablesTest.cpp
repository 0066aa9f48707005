// Tables fitted to counted symbols: legal JPEG tables whatever the counts,
// and the counter reads back exactly what a scan coded with them holds.
#include "converter/jpeg/HuffmanTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace vkexf {
namespace {

struct Code {
    uint32_t bits;
    int length;
};

// The canonical code of every symbol of `table`.
std::map<int, Code> Codes(const HuffmanTable& table)
{
    std::map<int, Code> codes;
    uint32_t code = 0;
    int next = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < table.bits[length]; ++i) {
            codes[table.values[next++]] = {code++, length};
        }
        code <<= 1;
    }
    return codes;
}

// Entropy-coded bytes as an encoder writes them: 0xFF followed by a stuffed
// zero, the last byte padded with ones.
class BitWriter {
public:
    void Put(uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            held = held << 1 | (value >> i & 1);
            if (++used == 8) {
                bytes.push_back(static_cast<uint8_t>(held));
                if (held == 0xFF) {
                    bytes.push_back(0);
                }
                held = used = 0;
            }
        }
    }
    void Put(const Code& code) { Put(code.bits, code.length); }
    std::vector<uint8_t> Finish()
    {
        while (used) {
            Put(1, 1);
        }
        return bytes;
    }

private:
    std::vector<uint8_t> bytes;
    uint32_t held = 0;
    int used = 0;
};

uint32_t Fibonacci(int n)
{
    uint32_t a = 0;
    uint32_t b = 1;
    for (; n > 0; --n) {
        b += a;
        a = b - a;
    }
    return a;
}

// Counts that would call for codes far longer than 16 bits, and a symbol
// that dwarfs every other.
TEST(HuffmanTables, FittedTablesAreLegalAndCodeEverySymbol)
{
    for (const bool dc : {true, false}) {
        std::vector<int> needed;
        if (dc) {
            for (int category = 0; category < 12; ++category) {
                needed.push_back(category);
            }
        } else {
            needed = {0x00, 0xF0};
            for (int run = 0; run < 16; ++run) {
                for (int size = 1; size <= 10; ++size) {
                    needed.push_back(run << 4 | size);
                }
            }
        }
        // Each count the sum of the two below: a tree 45 deep before the cut.
        const int top = std::min<int>(45, static_cast<int>(needed.size())) - 1;
        uint32_t skewed[256] = {};
        for (int i = 0; i <= top; ++i) {
            skewed[needed[i]] = Fibonacci(i + 2);
        }
        uint32_t dwarfing[256] = {};
        dwarfing[needed.back()] = 1000000;
        for (const auto* counts : {&skewed, &dwarfing}) {
            const HuffmanTable table = FittedTable(*counts, dc);
            const std::map<int, Code> codes = Codes(table);
            uint32_t kraft = 0;
            size_t symbols = 0;
            for (int length = 1; length <= 16; ++length) {
                kraft += uint32_t{table.bits[length]} << (16 - length);
                symbols += table.bits[length];
            }
            EXPECT_LT(kraft, 1u << 16) << "the all-ones code stays free";
            EXPECT_EQ(codes.size(), symbols) << "no symbol twice";
            for (const int symbol : needed) {
                EXPECT_EQ(codes.count(symbol), 1u) << symbol;
            }
        }
        EXPECT_EQ(Codes(FittedTable(dwarfing, dc))[needed.back()].length, 1);
        const std::map<int, Code> skewedCodes = Codes(FittedTable(skewed, dc));
        EXPECT_LT(skewedCodes.at(needed[top]).length, skewedCodes.at(needed[0]).length);
    }
}

TEST(HuffmanTables, CountsWhatTheScanHolds)
{
    // Luminance and chroma tables that give the same symbols other codes.
    uint32_t lumaDc[256] = {};
    uint32_t chromaDc[256] = {};
    uint32_t lumaAc[256] = {};
    uint32_t chromaAc[256] = {};
    lumaDc[3] = 50;
    chromaDc[0] = 50;
    lumaAc[0x01] = 50;
    chromaAc[0x00] = 50;
    const HuffmanTable dc[2] = {FittedTable(lumaDc, true), FittedTable(chromaDc, true)};
    const HuffmanTable ac[2] = {FittedTable(lumaAc, false), FittedTable(chromaAc, false)};
    const std::map<int, Code> dcCodes[2] = {Codes(dc[0]), Codes(dc[1])};
    const std::map<int, Code> acCodes[2] = {Codes(ac[0]), Codes(ac[1])};

    // A colour MCU: four luminance blocks, then two chroma. The first block
    // has values, a run of sixteen zeros and ten one-bits that make 0xFF
    // bytes; the second fills all 63 coefficients without an end of block.
    BitWriter scan;
    for (int block = 0; block < 6; ++block) {
        const int table = block < 4 ? 0 : 1;
        if (block == 0) {
            scan.Put(dcCodes[0].at(3));
            scan.Put(0b101, 3);
            scan.Put(acCodes[0].at(0x01));
            scan.Put(1, 1);
            scan.Put(acCodes[0].at(0xF0));
            scan.Put(acCodes[0].at(0x0A));
            scan.Put(0x3FF, 10);
        } else if (block == 1) {
            scan.Put(dcCodes[0].at(0));
            for (int zrl = 0; zrl < 3; ++zrl) {
                scan.Put(acCodes[0].at(0xF0));
            }
            scan.Put(acCodes[0].at(0xE1));
            scan.Put(0, 1);
            continue;
        } else {
            scan.Put(dcCodes[table].at(0));
        }
        scan.Put(acCodes[table].at(0x00));
    }
    const std::vector<uint8_t> bytes = scan.Finish();
    SymbolCounts counts = {};
    ASSERT_TRUE(CountScanSymbols(bytes.data(), bytes.size(), 1, 4, 2, dc, ac, counts));
    EXPECT_EQ(counts.dc[0][3], 1u);
    EXPECT_EQ(counts.dc[0][0], 3u);
    EXPECT_EQ(counts.dc[1][0], 2u);
    EXPECT_EQ(counts.ac[0][0xF0], 4u);
    EXPECT_EQ(counts.ac[0][0x0A], 1u);
    EXPECT_EQ(counts.ac[0][0xE1], 1u);
    EXPECT_EQ(counts.ac[0][0x00], 3u);
    EXPECT_EQ(counts.ac[1][0x00], 2u);

    // Whole chroma: one luminance block, then the two chroma.
    BitWriter full;
    for (int block = 0; block < 3; ++block) {
        full.Put(dcCodes[block == 0 ? 0 : 1].at(block == 0 ? 3 : 0));
        if (block == 0) {
            full.Put(0b101, 3);
        }
        full.Put(acCodes[block == 0 ? 0 : 1].at(0x00));
    }
    const std::vector<uint8_t> fullBytes = full.Finish();
    SymbolCounts fullCounts = {};
    ASSERT_TRUE(CountScanSymbols(fullBytes.data(), fullBytes.size(), 1, 1, 2, dc, ac, fullCounts));
    EXPECT_EQ(fullCounts.dc[0][3], 1u);
    EXPECT_EQ(fullCounts.dc[1][0], 2u);
    EXPECT_EQ(fullCounts.ac[0][0x00], 1u);
    EXPECT_EQ(fullCounts.ac[1][0x00], 2u);

    // Grey: one block an MCU. A run past the block's end is no scan of ours.
    BitWriter tooLong;
    tooLong.Put(dcCodes[0].at(0));
    for (int zrl = 0; zrl < 4; ++zrl) {
        tooLong.Put(acCodes[0].at(0xF0));
    }
    const std::vector<uint8_t> bad = tooLong.Finish();
    EXPECT_FALSE(CountScanSymbols(bad.data(), bad.size(), 1, 1, 0, dc, ac, counts));
}

} // namespace
} // namespace vkexf
