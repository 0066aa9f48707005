// Host lines as a host may lay them out for the native-depth writer, cut
// into blocks, and the rows the spool file must hold for them, by the
// reference in FormatReference.h. Platform-free; shared by the native and
// Wine tests.
#pragma once

#include "tests/support/FormatReference.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vlexif::test {

struct HostLines {
    int32_t first;
    int32_t lines;
    int32_t bytesPerLine;
    std::vector<uint8_t> data;
};

// Bytes per line a host can use so that every line the writer reads is there.
inline int32_t HostBytesPerLine(const FormatReference& c, int32_t width, std::mt19937& random)
{
    switch (c.step) {
    case FormatReference::ByStride:
        return static_cast<int32_t>(Stride(width, c.bits));
    case FormatReference::ByWidth:
        return width + 3;
    case FormatReference::ByLine:
        break;
    }
    return static_cast<int32_t>((width * c.bits + 7) / 8 + random() % 5);
}

// The image cut into blocks of random sizes, each line `bytesPerLine()`
// bytes of random data, shuffled into a random order of delivery.
template <class BytesPerLine>
std::vector<HostLines> RandomBlocks(int32_t height, std::mt19937& random, BytesPerLine bytesPerLine)
{
    std::vector<HostLines> blocks;
    for (int32_t first = 0; first < height;) {
        const int32_t lines = std::min<int32_t>(height - first, 1 + static_cast<int32_t>(random() % 4));
        HostLines block{first, lines, bytesPerLine(), {}};
        block.data.resize(static_cast<size_t>(lines) * block.bytesPerLine);
        for (uint8_t& byte : block.data) {
            byte = static_cast<uint8_t>(random());
        }
        blocks.push_back(std::move(block));
        first += lines;
    }
    std::shuffle(blocks.begin(), blocks.end(), random);
    return blocks;
}

inline std::vector<HostLines> RandomBlocks(const FormatReference& c, int32_t width, int32_t height,
                                           std::mt19937& random)
{
    return RandomBlocks(height, random, [&] { return HostBytesPerLine(c, width, random); });
}

// Paints a block's rows into a bottom-up pixel area of the whole image.
inline void PaintNativeRows(const FormatReference& c, int32_t width, int32_t height, const HostLines& block,
                            std::vector<uint8_t>& area)
{
    const uint32_t stride = Stride(width, c.spoolBits);
    const uint32_t distance = LineDistance(c, width, block.bytesPerLine);
    for (int32_t r = 0; r < block.lines; ++r) {
        NativeRow(c, block.data.data() + r * distance, width,
                  area.data() + static_cast<size_t>(height - 1 - (block.first + r)) * stride, stride);
    }
}

} // namespace vlexif::test
