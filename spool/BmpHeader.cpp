#include "spool/BmpHeader.h"

#include "pixels/PixelFormat.h"

#include <cstring>

namespace vlexif {

namespace {

void Put16(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value)
{
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

uint32_t Get32(const uint8_t* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

void PutFileHeader(uint8_t* block, uint32_t pixelDataOffset, uint32_t pixelAreaSize)
{
    block[0] = 'B';
    block[1] = 'M';
    Put32(block + 2, pixelDataOffset + pixelAreaSize);
    Put32(block + 10, pixelDataOffset);
}

} // namespace

uint32_t PixelsPerMetre(uint32_t dotsPerInch)
{
    return dotsPerInch * 10000u / 254u;
}

void BuildInfoHeaderBytes(const HeaderImage& image, uint8_t* block)
{
    const uint32_t offset = PixelDataOffset(HeaderLayout::Info, image.colours);
    const uint32_t imageSize =
        RowStride(static_cast<uint32_t>(image.width), image.bitCount) * static_cast<uint32_t>(image.height);
    PutFileHeader(block, offset, imageSize);
    uint8_t* info = block + FileHeaderSize;
    Put32(info + 0, InfoHeaderSize);
    Put32(info + 4, static_cast<uint32_t>(image.width));
    Put32(info + 8, static_cast<uint32_t>(image.height));
    Put16(info + 12, 1);
    Put16(info + 14, image.bitCount);
    Put32(info + 16, 0);
    Put32(info + 20, imageSize);
    Put32(info + 24, PixelsPerMetre(image.xDpi));
    Put32(info + 28, PixelsPerMetre(image.yDpi));
    Put32(info + 32, image.colours);
    Put32(info + 36, image.colours);
}

void BuildCoreHeaderBytes(const HeaderImage& image, uint8_t* block)
{
    // The core header holds 16-bit fields, and the sizes follow from them.
    const uint32_t width = static_cast<uint32_t>(image.width) & 0xFFFF;
    const uint32_t height = static_cast<uint32_t>(image.height) & 0xFFFF;
    const uint32_t bitCount = image.bitCount & 0xFFFF;
    const uint32_t offset = PixelDataOffset(HeaderLayout::Core, image.colours);
    PutFileHeader(block, offset, RowStride(width, bitCount) * height);
    uint8_t* core = block + FileHeaderSize;
    Put32(core + 0, CoreHeaderSize);
    Put16(core + 4, width);
    Put16(core + 6, height);
    Put16(core + 8, 1);
    Put16(core + 10, bitCount);
}

uint32_t HeaderPixelDataOffset(const uint8_t* block)
{
    return Get32(block + 10);
}

uint32_t HeaderColoursUsed(const uint8_t* block)
{
    return Get32(block + FileHeaderSize + 32);
}

bool SpoolFileSizes(uint32_t pixelDataOffset, int64_t width, int64_t height, uint32_t bitCount,
                    uint32_t& pixelAreaSize)
{
    constexpr int64_t limit = INT32_MAX;
    if (width < 0 || height < 0 || width > limit) {
        return false;
    }
    const int64_t stride = static_cast<int64_t>(WideRowStride(static_cast<uint64_t>(width), bitCount));
    if (stride > limit || (stride != 0 && height > limit / stride)) {
        return false;
    }
    const int64_t area = stride * height;
    if (area + pixelDataOffset > limit) {
        return false;
    }
    pixelAreaSize = static_cast<uint32_t>(area);
    return true;
}

} // namespace vlexif
