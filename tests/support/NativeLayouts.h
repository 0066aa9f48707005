// How a host lays out each pixel format's lines and what rows the
// native-depth spool file holds for them, stated independently of the
// plug-in's own tables. Platform-free; shared by the native and Wine tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vlexif::test {

struct NativeCase {
    const char* name;
    uint32_t bits, samples, colourType;
    uint32_t spoolBits, colours;
    enum Rule { Swap, Rgb48, Gray16, Copy } rule;
    enum Step { ByStride, ByWidth, ByLine } step;
};

inline const NativeCase nativeCases[] = {
    {"rgb24", 24, 3, 2, 24, 0, NativeCase::Swap, NativeCase::ByStride},
    {"rgb48", 48, 3, 2, 24, 0, NativeCase::Rgb48, NativeCase::ByLine},
    {"gray8", 8, 1, 1, 8, 256, NativeCase::Copy, NativeCase::ByStride},
    {"gray16", 16, 1, 1, 8, 256, NativeCase::Gray16, NativeCase::ByLine},
    {"indexed8", 8, 1, 3, 8, 256, NativeCase::Copy, NativeCase::ByWidth},
    {"indexed4", 4, 1, 3, 4, 16, NativeCase::Copy, NativeCase::ByStride},
    {"indexed1", 1, 1, 3, 1, 2, NativeCase::Copy, NativeCase::ByStride},
    {"bilevel", 1, 1, 0, 1, 2, NativeCase::Copy, NativeCase::ByStride},
};

inline uint32_t Stride(uint32_t width, uint32_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

struct HostLines {
    int32_t first;
    int32_t lines;
    int32_t bytesPerLine;
    std::vector<uint8_t> data;
};

// Bytes per line a host can use so that every line the writer reads is there.
inline int32_t HostBytesPerLine(const NativeCase& c, int32_t width, std::mt19937& random)
{
    switch (c.step) {
    case NativeCase::ByStride: return static_cast<int32_t>(Stride(width, c.bits));
    case NativeCase::ByWidth: return width + 3;
    case NativeCase::ByLine: break;
    }
    return static_cast<int32_t>((width * c.bits + 7) / 8 + random() % 5);
}

// Distance between the starts of the lines the writer reads.
inline uint32_t LineDistance(const NativeCase& c, int32_t width, int32_t bytesPerLine)
{
    switch (c.step) {
    case NativeCase::ByStride: return Stride(width, c.bits);
    case NativeCase::ByWidth: return static_cast<uint32_t>(width);
    case NativeCase::ByLine: break;
    }
    return static_cast<uint32_t>(bytesPerLine);
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

inline std::vector<HostLines> RandomBlocks(const NativeCase& c, int32_t width, int32_t height, std::mt19937& random)
{
    return RandomBlocks(height, random, [&] { return HostBytesPerLine(c, width, random); });
}

// Paints a block's rows into a bottom-up pixel area of the whole image.
inline void PaintNativeRows(const NativeCase& c, int32_t width, int32_t height, const HostLines& block,
                            std::vector<uint8_t>& area)
{
    const uint32_t stride = Stride(width, c.spoolBits);
    const uint32_t distance = LineDistance(c, width, block.bytesPerLine);
    for (int32_t r = 0; r < block.lines; ++r) {
        const uint8_t* src = block.data.data() + r * distance;
        uint8_t* row = area.data() + static_cast<size_t>(height - 1 - (block.first + r)) * stride;
        if (c.rule == NativeCase::Copy) {
            std::memcpy(row, src, stride);
            continue;
        }
        for (int32_t j = 0; j < width; ++j) {
            switch (c.rule) {
            case NativeCase::Swap:
                row[3 * j] = src[3 * j + 2];
                row[3 * j + 1] = src[3 * j + 1];
                row[3 * j + 2] = src[3 * j];
                break;
            case NativeCase::Rgb48:
                row[3 * j] = src[6 * j + 5];
                row[3 * j + 1] = src[6 * j + 3];
                row[3 * j + 2] = src[6 * j + 1];
                break;
            default:
                row[j] = src[2 * j + 1];
                break;
            }
        }
    }
}

} // namespace vlexif::test
