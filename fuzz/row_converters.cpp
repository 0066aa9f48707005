// Native-depth rows behind the checks the plug-in runs first, with the walk
// and converter the plug-in's own table gives each format: any block view
// the checks accept must convert without reading outside the host's
// lines × bytesPerLine bytes or writing outside lines × stride, and must give
// the rows the reference in tests/support gives.
#include "fuzz/HostValues.h"
#include "pixels/FormatRows.h"
#include "pixels/HostBlock.h"
#include "pixels/PixelFormat.h"
#include "pixels/SimdLevel.h"
#include "tests/support/FormatReference.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    const test::FormatReference& format = in.PickValueInArray(test::AcceptedFormats);
    const NativeConversion* rows = FindNativeConversion(format.code);
    Require(rows != nullptr, "every accepted format has native rows");
    const BlockCase c = HostBlockCase(in, format.bits, format.spoolBits);
    const HostLines source = HostLinesFor(in, c);
    const HostBlock block{source.address, c.bytesPerLine, c.width, c.lines, c.linesBefore};
    if (!SourceCoversWalk(rows->walk, block) || !BlockFitsPixelArea(block, format.spoolBits, c.pixelArea)) {
        return 0;
    }
    Require(block.data || block.lines == 0 || block.width == 0, "a block without data is refused");
    const uint32_t stride = RowStride(static_cast<uint32_t>(block.width), format.spoolBits);
    const uint64_t outBytes = uint64_t{static_cast<uint32_t>(block.lines)} * stride;
    // The plug-in cannot allocate an empty work block, so it never fills one.
    if (!source.bytes || outBytes == 0 || outBytes > MaxBlockBytes) {
        return 0;
    }
    const uint32_t width = static_cast<uint32_t>(block.width);
    const size_t distance = test::LineDistance(format, width, static_cast<uint32_t>(block.bytesPerLine));
    // Every variant this machine supports, each into fresh zeroed rows.
    for (int level = 0; level <= static_cast<int>(SupportedSimdLevel()); ++level) {
        Require(UseSimdLevel(static_cast<SimdLevel>(level)), "every supported level is put in force");
        const std::unique_ptr<uint8_t[]> out(new uint8_t[outBytes]());
        rows->convert(block, SourceDistance(rows->walk, block), out.get(), stride);

        std::vector<uint8_t> expected(stride);
        for (int32_t r = 0; r < block.lines; ++r) {
            std::fill(expected.begin(), expected.end(), 0);
            test::NativeRow(format, source.bytes.get() + static_cast<size_t>(r) * distance, width, expected.data(),
                            stride);
            Require(std::memcmp(out.get() + static_cast<size_t>(block.lines - 1 - r) * stride, expected.data(),
                                stride) == 0,
                    "each host line becomes its row, bottom up, padding untouched");
        }
    }
    return 0;
}
