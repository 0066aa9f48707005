// The 24-bit expansions behind the checks the plug-in runs first, with the
// walk and expansion the plug-in's own table gives each format and palettes
// placed from arbitrary host lists: any accepted block view must expand within
// the host's bytes and the output's lines × stride, giving each pixel the
// colour the reference in tests/support gives and leaving the row padding zero.
#include "fuzz/HostValues.h"
#include "pixels/FormatRows.h"
#include "pixels/HostBlock.h"
#include "pixels/PaletteTable.h"
#include "pixels/PixelFormat.h"
#include "pixels/SimdLevel.h"
#include "tests/support/FormatReference.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace vlexif::fuzz {
namespace {

// The formats whose rows are expanded.
std::vector<test::FormatReference> ExpandedFormats()
{
    std::vector<test::FormatReference> formats;
    std::copy_if(std::begin(test::AcceptedFormats), std::end(test::AcceptedFormats), std::back_inserter(formats),
                 test::IsExpanded);
    return formats;
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    const std::vector<test::FormatReference> formats = ExpandedFormats();
    FuzzedDataProvider in(data, size);
    const test::FormatReference& format = formats[in.ConsumeIntegralInRange<size_t>(0, formats.size() - 1)];
    const Expansion* expansion = FindExpansion(format.code);
    Require(expansion && expansion->usesPalette == format.usesPalette,
            "every one-sample format is expanded, through the palette where it has one");

    const BlockCase c = HostBlockCase(in, format.bits, 24);
    const HostLines source = HostLinesFor(in, c);
    const HostBlock block{source.address, c.bytesPerLine, c.width, c.lines, c.linesBefore};
    const uint32_t count = in.ConsumeIntegralInRange<uint32_t>(0, 300);
    if (!SourceCoversWalk(expansion->walk, block) || !BlockFitsPixelArea(block, 24, c.pixelArea)) {
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
        expansion->expand(block, table, out.get(), stride);

        std::vector<uint8_t> expected(stride);
        for (int32_t r = 0; r < block.lines; ++r) {
            const uint8_t* line =
                source.bytes.get() + static_cast<size_t>(r) * static_cast<uint32_t>(block.bytesPerLine);
            std::fill(expected.begin(), expected.end(), 0);
            for (uint32_t j = 0; j < static_cast<uint32_t>(block.width); ++j) {
                test::ExpandedPixel(format, line, j, reinterpret_cast<const uint8_t*>(table), &expected[3 * size_t{j}]);
            }
            Require(std::memcmp(out.get() + static_cast<size_t>(block.lines - 1 - r) * stride, expected.data(),
                                stride) == 0,
                    "each host line becomes its row of palette colours, bottom up, padding zero");
        }
    }
    return 0;
}
