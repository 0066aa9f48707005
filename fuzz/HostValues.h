// What the fuzz targets share: host values as a careless or hostile host hands
// them over, buffers of exactly the size a caller promises, and the check that
// stops a run when a property fails.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <vector>

namespace vlexif::fuzz {

// Mostly small, so that the checks pass often enough to reach the kernels;
// sometimes negative, at a boundary, or anything at all.
inline int32_t HostInt(FuzzedDataProvider& in, int32_t usual)
{
    constexpr int32_t Edges[] = {INT32_MIN,  -1,    INT32_MAX, 0x0AAAAAAB, 0x40000000,
                                 0x7FFFFFF0, 65500, 65501,     65535,      65536};
    // An input that runs out reads as zeros: small values.
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 7:
        return in.ConsumeIntegral<int32_t>();
    case 6:
        return -in.ConsumeIntegralInRange<int32_t>(1, usual);
    case 5:
        return Edges[in.ConsumeIntegralInRange<size_t>(0, std::size(Edges) - 1)];
    default:
        return in.ConsumeIntegralInRange<int32_t>(0, usual);
    }
}

// Blocks beyond this size only slow the search down.
constexpr uint64_t MaxBlockBytes = 1u << 16;

// A block view, its bytes still to be attached. Half the time its line length
// and the pixel area it lands in sit within a few bytes of an exact fit for
// `bits` per pixel, where an off-by-one in the checks would show.
struct BlockCase {
    int32_t bytesPerLine;
    int32_t width;
    int32_t lines;
    int32_t linesBefore;
    uint64_t pixelArea;
};

inline BlockCase HostBlockCase(FuzzedDataProvider& in, uint32_t bits, uint32_t outputBits)
{
    BlockCase c{0, HostInt(in, 64), HostInt(in, 16), HostInt(in, 16), 0};
    const auto nearly = [&in](uint64_t exact) {
        return static_cast<int64_t>(std::min<uint64_t>(exact, INT32_MAX)) + in.ConsumeIntegralInRange<int64_t>(-3, 3);
    };
    const uint64_t width = static_cast<uint32_t>(c.width);
    if (in.ConsumeBool()) {
        const uint64_t line = in.ConsumeBool() ? (width * bits + 7) / 8 : ((width * bits + 31) >> 3) & ~uint64_t{3};
        c.bytesPerLine = static_cast<int32_t>(std::min<int64_t>(nearly(line), INT32_MAX));
    } else {
        c.bytesPerLine = HostInt(in, 256);
    }
    if (in.ConsumeBool()) {
        const uint64_t stride = ((width * outputBits + 31) >> 3) & ~uint64_t{3};
        const uint64_t rows = uint64_t{static_cast<uint32_t>(c.lines)} + static_cast<uint32_t>(c.linesBefore);
        c.pixelArea = static_cast<uint64_t>(std::max<int64_t>(0, nearly(rows * stride)));
    } else {
        c.pixelArea = static_cast<uint32_t>(HostInt(in, 1 << 16));
    }
    return c;
}

// The host's lines for a block case: exactly lines × bytesPerLine bytes when
// that is small enough to allocate, else a stand-in address that the checks
// may accept but no kernel is run on; now and then no data at all.
struct HostLines {
    std::unique_ptr<uint8_t[]> bytes; // null unless allocated
    const uint8_t* address;
};

inline std::unique_ptr<uint8_t[]> ExactBlock(FuzzedDataProvider& in, size_t size);

inline HostLines HostLinesFor(FuzzedDataProvider& in, const BlockCase& c)
{
    static const uint8_t StandIn = 0;
    if (in.ConsumeIntegralInRange<int>(0, 15) == 15) {
        return {nullptr, nullptr};
    }
    const uint64_t size = c.lines > 0 && c.bytesPerLine > 0
        ? uint64_t{static_cast<uint32_t>(c.lines)} * static_cast<uint32_t>(c.bytesPerLine)
        : 0;
    if (size == 0 || size > MaxBlockBytes) {
        return {nullptr, &StandIn};
    }
    HostLines lines{ExactBlock(in, size), nullptr};
    lines.address = lines.bytes.get();
    return lines;
}

// A heap block of exactly `size` bytes, so that AddressSanitizer sees any
// access past it, filled from the input (zeros once the input runs out).
inline std::unique_ptr<uint8_t[]> ExactBlock(FuzzedDataProvider& in, size_t size)
{
    std::unique_ptr<uint8_t[]> block(new uint8_t[size]());
    const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(size);
    std::copy(bytes.begin(), bytes.end(), block.get());
    return block;
}

inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

} // namespace vlexif::fuzz
