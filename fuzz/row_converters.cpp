// Native-depth row converters behind the checks the plug-in runs first: any
// block view the checks accept must convert without reading outside the
// host's lines × bytesPerLine bytes or writing outside lines × stride, and
// must give the rows a plain per-pixel rule gives.
#include "fuzz/HostValues.h"
#include "pixels/HostBlock.h"
#include "pixels/PixelFormat.h"
#include "pixels/RowConverters.h"
#include "pixels/SimdLevel.h"

#include <cstring>
#include <vector>

namespace vlexif::fuzz {
namespace {

using Convert = void (*)(const HostBlock&, uint32_t, uint8_t*, uint32_t);

enum class Rule { Swap24, Reduce48, Reduce16, Copy };

// The walk and converter BmpSpoolPlugin pairs with each native format.
struct NativeFormat {
    uint32_t spoolBits;
    SourceWalk walk;
    Convert convert;
    Rule rule;
};

constexpr NativeFormat formats[] = {
    {24, {SourceWalk::ByStride, 24, 24, false}, SwapRgb24Rows, Rule::Swap24},      // RGB 24
    {24, {SourceWalk::ByBytesPerLine, 0, 48, false}, ReduceRgb48Rows, Rule::Reduce48}, // RGB 48
    {8, {SourceWalk::ByStride, 8, 8, true}, CopyRows, Rule::Copy},                 // grey 8
    {8, {SourceWalk::ByBytesPerLine, 0, 16, false}, ReduceGray16Rows, Rule::Reduce16}, // grey 16
    {8, {SourceWalk::ByWidth, 8, 8, true}, CopyRows, Rule::Copy},                  // palette 8
    {4, {SourceWalk::ByStride, 4, 4, true}, CopyRows, Rule::Copy},                 // palette 4
    {1, {SourceWalk::ByStride, 1, 1, true}, CopyRows, Rule::Copy},                 // palette 1, bilevel
};

// The row a plain reading of the format gives, padding zero unless copied.
void ExpectedRow(Rule rule, const uint8_t* line, size_t width, uint8_t* row, uint32_t stride)
{
    switch (rule) {
    case Rule::Swap24:
        for (size_t j = 0; j < width; ++j) {
            row[3 * j] = line[3 * j + 2];
            row[3 * j + 1] = line[3 * j + 1];
            row[3 * j + 2] = line[3 * j];
        }
        break;
    case Rule::Reduce48:
        for (size_t j = 0; j < width; ++j) {
            row[3 * j] = line[6 * j + 5];
            row[3 * j + 1] = line[6 * j + 3];
            row[3 * j + 2] = line[6 * j + 1];
        }
        break;
    case Rule::Reduce16:
        for (size_t j = 0; j < width; ++j) {
            row[j] = line[2 * j + 1];
        }
        break;
    case Rule::Copy:
        std::memcpy(row, line, stride);
        break;
    }
}

// Bytes from one host line to the next, worked out here rather than taken
// from the plug-in, so that a wrong step in the plug-in shows.
size_t PlainLineDistance(const SourceWalk& walk, const HostBlock& block)
{
    const uint64_t width = static_cast<uint32_t>(block.width);
    switch (walk.step) {
    case SourceWalk::ByStride: return static_cast<size_t>((width * walk.strideBits + 31) / 32 * 4);
    case SourceWalk::ByWidth: return static_cast<size_t>(width);
    case SourceWalk::ByBytesPerLine: break;
    }
    return static_cast<uint32_t>(block.bytesPerLine);
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    const NativeFormat& format = formats[in.ConsumeIntegralInRange<size_t>(0, std::size(formats) - 1)];
    const BlockCase c = HostBlockCase(in, format.walk.lineBits, format.spoolBits);
    const HostLines source = HostLinesFor(in, c);
    const HostBlock block{source.address, c.bytesPerLine, c.width, c.lines, c.linesBefore};
    if (!SourceCoversWalk(format.walk, block) || !BlockFitsPixelArea(block, format.spoolBits, c.pixelArea)) {
        return 0;
    }
    Require(block.data || block.lines == 0 || block.width == 0, "a block without data is refused");
    const uint32_t stride = RowStride(static_cast<uint32_t>(block.width), format.spoolBits);
    const uint64_t outBytes = uint64_t{static_cast<uint32_t>(block.lines)} * stride;
    // The plug-in cannot allocate an empty work block, so it never fills one.
    if (!source.bytes || outBytes == 0 || outBytes > MaxBlockBytes) {
        return 0;
    }
    // Every variant this machine supports, each into fresh zeroed rows.
    for (int level = 0; level <= static_cast<int>(SupportedSimdLevel()); ++level) {
        Require(UseSimdLevel(static_cast<SimdLevel>(level)), "every supported level is put in force");
        const std::unique_ptr<uint8_t[]> out(new uint8_t[outBytes]());
        format.convert(block, SourceDistance(format.walk, block), out.get(), stride);
        const size_t distance = PlainLineDistance(format.walk, block);

        std::vector<uint8_t> expected(stride);
        for (int32_t r = 0; r < block.lines; ++r) {
            std::fill(expected.begin(), expected.end(), 0);
            ExpectedRow(format.rule, source.bytes.get() + static_cast<size_t>(r) * distance, static_cast<size_t>(block.width),
                        expected.data(), stride);
            Require(std::memcmp(out.get() + static_cast<size_t>(block.lines - 1 - r) * stride, expected.data(), stride) == 0,
                    "each host line becomes its row, bottom up, padding untouched");
        }
    }
    return 0;
}
