#include "converter/files/BmpHeader.h"

namespace vkexf {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kCoreHeaderBytes = 12;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

} // namespace

BmpError ParseBmpHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, BmpLayout& layout)
{
    if (size > fileSize)
        size = static_cast<size_t>(fileSize);
    if (size < kFileHeaderBytes + 4)
        return BmpError::Truncated;
    if (bytes[0] != 'B' || bytes[1] != 'M')
        return BmpError::Signature;
    const uint32_t pixelOffset = U32(bytes + 10);
    const uint8_t* info = bytes + kFileHeaderBytes;
    const uint32_t headerSize = U32(info);
    if (headerSize != kInfoHeaderBytes && headerSize != kCoreHeaderBytes)
        return BmpError::HeaderSize;
    if (size < kFileHeaderBytes + headerSize)
        return BmpError::Truncated;

    BmpLayout parsed;
    int64_t width, height;
    uint16_t planes, bitCount;
    uint32_t compression = 0;
    if (headerSize == kCoreHeaderBytes) {
        width = U16(info + 4);
        height = U16(info + 6);
        planes = U16(info + 8);
        bitCount = U16(info + 10);
    } else {
        width = I32(info + 4);
        height = I32(info + 8);
        planes = U16(info + 12);
        bitCount = U16(info + 14);
        compression = U32(info + 16);
        parsed.xPixelsPerMetre = I32(info + 24);
        parsed.yPixelsPerMetre = I32(info + 28);
    }
    if (planes != 1)
        return BmpError::Planes;
    if (bitCount != 24)
        return BmpError::BitCount;
    if (compression != 0)
        return BmpError::Compression;
    if (width <= 0)
        return BmpError::Width;
    if (height == 0)
        return BmpError::Height;
    parsed.topDown = height < 0;
    if (height < 0)
        height = -height;
    if (width > kMaxImageSide || height > kMaxImageSide)
        return BmpError::TooLarge;

    parsed.width = static_cast<uint32_t>(width);
    parsed.height = static_cast<uint32_t>(height);
    parsed.stride = (parsed.width * 24 + 31) / 32 * 4;
    parsed.pixelOffset = pixelOffset;
    if (pixelOffset < kFileHeaderBytes + headerSize || pixelOffset > fileSize)
        return BmpError::PixelOffset;
    if (uint64_t{parsed.stride} * parsed.height > fileSize - pixelOffset)
        return BmpError::PixelArea;
    layout = parsed;
    return BmpError::None;
}

} // namespace vkexf
