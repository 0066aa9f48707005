// One block of host lines as the kernels see it, and the check that every
// byte a row operation will read lies inside the host's data. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vlexif {

struct HostBlock {
    const uint8_t* data; // lines × bytesPerLine bytes, top line first
    int32_t bytesPerLine;
    int32_t width;
    int32_t lines;
    int32_t linesBefore;
};

// How a row operation walks the host's block.
struct SourceWalk {
    // Distance between the starts of two source lines.
    enum Step { ByStride, ByWidth, ByBytesPerLine } step;
    uint32_t strideBits; // for ByStride: the stride of this many bits per pixel
    // What it reads of one line: the first `lineBits` bits per pixel, or, when
    // `readsStride` is set, a whole stride of `strideBits` per pixel.
    uint32_t lineBits;
    bool readsStride;
};

// Distance between two source lines, in bytes.
uint32_t SourceDistance(const SourceWalk& walk, const HostBlock& block);

// True when the block's values are not negative and every byte the walk
// reads lies within the lines × bytesPerLine bytes the host hands over.
bool SourceCoversWalk(const SourceWalk& walk, const HostBlock& block);

// True when the block's rows, at the stride of `outputBits` per pixel, end
// inside a pixel area of `pixelAreaSize` bytes.
bool BlockFitsPixelArea(const HostBlock& block, uint32_t outputBits, uint64_t pixelAreaSize);

} // namespace vlexif
