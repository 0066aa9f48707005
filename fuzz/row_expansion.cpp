// The 24-bit expansions behind the checks the plug-in runs first, with
// palettes placed from arbitrary host lists: any accepted block view must
// expand within the host's bytes and the output's lines × stride, giving each
// pixel its palette colour and leaving the row padding zero.
#include "pixels/PaletteTable.h"
#include "pixels/RowExpansion.h"
#include "fuzz/HostValues.h"
#include "pixels/HostBlock.h"
#include "pixels/PixelFormat.h"
#include "pixels/SimdLevel.h"

#include <cstring>
#include <vector>

namespace vlexif::fuzz {
namespace {

enum class Kind { Gray8, Indexed8, Gray16, Indexed4, Bit1 };

// The expansions ExifPlugin uses, with the bits per pixel its walk reads.
struct Expansion {
    Kind kind;
    uint32_t bits;
};

constexpr Expansion expansions[] = {
    {Kind::Gray8, 8}, {Kind::Indexed8, 8}, {Kind::Gray16, 16}, {Kind::Indexed4, 4}, {Kind::Bit1, 1},
};

void Expand(Kind kind, const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* out,
            uint32_t stride)
{
    switch (kind) {
    case Kind::Gray8: ExpandGray8Rows(block, out, stride); break;
    case Kind::Indexed8: ExpandIndexed8Rows(block, table, out, stride); break;
    case Kind::Gray16: ExpandGray16Rows(block, table, out, stride); break;
    case Kind::Indexed4: Expand4BitRows(block, table, out, stride); break;
    case Kind::Bit1: Expand1BitRows(block, table, out, stride); break;
    }
}

uint8_t IndexOf(Kind kind, const uint8_t* line, int32_t j)
{
    switch (kind) {
    case Kind::Gray16: return line[2 * j + 1];
    case Kind::Indexed4: return j % 2 == 0 ? line[j / 2] >> 4 : line[j / 2] & 0x0F;
    case Kind::Bit1: return (line[j / 8] >> (7 - j % 8)) & 1;
    default: return line[j];
    }
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    const Expansion& expansion = expansions[in.ConsumeIntegralInRange<size_t>(0, std::size(expansions) - 1)];

    const BlockCase c = HostBlockCase(in, expansion.bits, 24);
    const HostLines source = HostLinesFor(in, c);
    const HostBlock block{source.address, c.bytesPerLine, c.width, c.lines, c.linesBefore};
    const uint32_t count = in.ConsumeIntegralInRange<uint32_t>(0, 300);
    const SourceWalk walk{SourceWalk::ByBytesPerLine, 0, expansion.bits, false};
    if (!SourceCoversWalk(walk, block) || !BlockFitsPixelArea(block, 24, c.pixelArea)) {
        return 0;
    }
    Require(block.data || block.lines == 0 || block.width == 0, "a block without data is refused");
    const uint32_t stride = RowStride(static_cast<uint32_t>(block.width), 24);
    const uint64_t outBytes = uint64_t{static_cast<uint32_t>(block.lines)} * stride;
    // The plug-in cannot allocate an empty work block, so it never fills one.
    if (!source.bytes || outBytes == 0 || outBytes > MaxBlockBytes) {
        return 0;
    }
    // The table as a stored palette leaves it, then the host's list placed on it.
    PaletteEntry table[PaletteCapacity];
    const auto stored = ExactBlock(in, sizeof table);
    std::memcpy(table, stored.get(), sizeof table);
    const auto entries = ExactBlock(in, 4 * size_t{count});
    PlaceHostEntries(entries.get(), count, table);
    // Every variant this machine supports, each into fresh zeroed rows.
    for (int level = 0; level <= static_cast<int>(SupportedSimdLevel()); ++level) {
        Require(UseSimdLevel(static_cast<SimdLevel>(level)), "every supported level is put in force");
        const std::unique_ptr<uint8_t[]> out(new uint8_t[outBytes]());
        Expand(expansion.kind, block, table, out.get(), stride);

        std::vector<uint8_t> expected(stride);
        for (int32_t r = 0; r < block.lines; ++r) {
            const uint8_t* line = source.bytes.get() + static_cast<size_t>(r) * static_cast<uint32_t>(block.bytesPerLine);
            std::fill(expected.begin(), expected.end(), 0);
            for (int32_t j = 0; j < block.width; ++j) {
                const uint8_t k = IndexOf(expansion.kind, line, j);
                const PaletteEntry grey{k, k, k, 0};
                const PaletteEntry& colour = expansion.kind == Kind::Gray8 ? grey : table[k];
                uint8_t* pixel = &expected[3 * static_cast<size_t>(j)];
                pixel[0] = colour.blue;
                pixel[1] = colour.green;
                pixel[2] = colour.red;
            }
            Require(std::memcmp(out.get() + static_cast<size_t>(block.lines - 1 - r) * stride, expected.data(), stride) == 0,
                    "each host line becomes its row of palette colours, bottom up, padding zero");
        }
    }
    return 0;
}
