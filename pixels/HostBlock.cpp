#include "pixels/HostBlock.h"

#include "pixels/PixelFormat.h"

namespace vlexif {

namespace {

uint64_t WideDistance(const SourceWalk& walk, const HostBlock& block)
{
    switch (walk.step) {
    case SourceWalk::ByStride:
        return WideRowStride(static_cast<uint32_t>(block.width), walk.strideBits);
    case SourceWalk::ByWidth:
        return static_cast<uint32_t>(block.width);
    case SourceWalk::ByBytesPerLine:
        break;
    }
    return static_cast<uint32_t>(block.bytesPerLine);
}

} // namespace

uint32_t SourceDistance(const SourceWalk& walk, const HostBlock& block)
{
    return static_cast<uint32_t>(WideDistance(walk, block));
}

bool SourceCoversWalk(const SourceWalk& walk, const HostBlock& block)
{
    if (block.width < 0 || block.lines < 0 || block.linesBefore < 0 || block.bytesPerLine < 0) {
        return false;
    }
    if (block.lines == 0 || block.width == 0) {
        return true;
    }
    const uint64_t width = static_cast<uint64_t>(block.width);
    const uint64_t lineRead =
        walk.readsStride ? WideRowStride(width, walk.strideBits) : (width * walk.lineBits + 7) >> 3;
    const uint64_t available = static_cast<uint64_t>(block.lines) * static_cast<uint64_t>(block.bytesPerLine);
    const uint64_t needed = static_cast<uint64_t>(block.lines - 1) * WideDistance(walk, block) + lineRead;
    return block.data != nullptr && needed <= available;
}

bool BlockFitsPixelArea(const HostBlock& block, uint32_t outputBits, uint64_t pixelAreaSize)
{
    if (block.width < 0 || block.lines < 0 || block.linesBefore < 0) {
        return false;
    }
    const uint64_t lastRow = static_cast<uint64_t>(block.linesBefore) + static_cast<uint64_t>(block.lines);
    const uint64_t stride = WideRowStride(static_cast<uint64_t>(block.width), outputBits);
    // Divided, not multiplied: rows times stride can pass 64 bits.
    return stride == 0 || lastRow <= pixelAreaSize / stride;
}

} // namespace vlexif
