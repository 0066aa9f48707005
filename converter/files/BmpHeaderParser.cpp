#include "converter/files/BmpHeaderParser.h"

namespace vkexf {

BmpError ParseBmpHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, BmpLayout& layout)
{
    if (size > fileSize) {
        size = static_cast<size_t>(fileSize);
    }
    if (size < bmp::FileHeaderSize + sizeof(bmp::InfoHeader::headerSize)) {
        return BmpError::Truncated;
    }
    const bmp::FileHeader file = bmp::Read<bmp::FileHeader>(bytes);
    if (file.signature != bmp::Signature) {
        return BmpError::Signature;
    }
    const uint32_t pixelOffset = file.pixelDataOffset;
    const uint8_t* header = bytes + bmp::FileHeaderSize;
    const uint32_t headerSize = bmp::Read<uint32_t>(header);
    if (headerSize != bmp::InfoHeaderSize && headerSize != bmp::CoreHeaderSize) {
        return BmpError::HeaderSize;
    }
    if (size < bmp::FileHeaderSize + headerSize) {
        return BmpError::Truncated;
    }

    BmpLayout parsed;
    int64_t width, height;
    uint16_t planes, bitCount;
    uint32_t compression = bmp::Uncompressed;
    if (headerSize == bmp::CoreHeaderSize) {
        const bmp::CoreHeader core = bmp::Read<bmp::CoreHeader>(header);
        width = core.width;
        height = core.height;
        planes = core.planes;
        bitCount = core.bitCount;
    } else {
        const bmp::InfoHeader info = bmp::Read<bmp::InfoHeader>(header);
        width = info.width;
        height = info.height;
        planes = info.planes;
        bitCount = info.bitCount;
        compression = info.compression;
        parsed.xPixelsPerMetre = info.xPixelsPerMetre;
        parsed.yPixelsPerMetre = info.yPixelsPerMetre;
    }
    if (planes != bmp::Planes) {
        return BmpError::Planes;
    }
    if (bitCount != bmp::TrueColourBits) {
        return BmpError::BitCount;
    }
    if (compression != bmp::Uncompressed) {
        return BmpError::Compression;
    }
    if (width <= 0) {
        return BmpError::Width;
    }
    if (height == 0) {
        return BmpError::Height;
    }
    parsed.topDown = height < 0;
    if (height < 0) {
        height = -height;
    }
    if (width > VkExfMaxImageSide || height > VkExfMaxImageSide) {
        return BmpError::TooLarge;
    }

    parsed.width = static_cast<uint32_t>(width);
    parsed.height = static_cast<uint32_t>(height);
    parsed.stride = bmp::RowStride(parsed.width, bmp::TrueColourBits);
    parsed.pixelOffset = pixelOffset;
    if (pixelOffset < bmp::FileHeaderSize + headerSize || pixelOffset > fileSize) {
        return BmpError::PixelOffset;
    }
    if (uint64_t{parsed.stride} * parsed.height > fileSize - pixelOffset) {
        return BmpError::PixelArea;
    }
    layout = parsed;
    return BmpError::None;
}

} // namespace vkexf
