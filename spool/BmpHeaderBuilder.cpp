#include "spool/BmpHeaderBuilder.h"

#include "pixels/PixelFormat.h"

namespace vlexif {

namespace {

bmp::FileHeader FileHeaderFor(uint32_t pixelDataOffset, uint32_t pixelAreaSize)
{
    bmp::FileHeader file{};
    file.signature = bmp::Signature;
    file.fileSize = pixelDataOffset + pixelAreaSize;
    file.pixelDataOffset = pixelDataOffset;
    return file;
}

} // namespace

uint32_t PixelsPerMetre(uint32_t dotsPerInch)
{
    return dotsPerInch * 10000u / 254u;
}

void BuildInfoHeaderBytes(const HeaderImage& image, uint8_t* block)
{
    const uint32_t imageSize =
        RowStride(static_cast<uint32_t>(image.width), image.bitCount) * static_cast<uint32_t>(image.height);
    bmp::InfoHead head{};
    head.file = FileHeaderFor(PixelDataOffset(HeaderLayout::Info, image.colours), imageSize);
    head.info.headerSize = bmp::InfoHeaderSize;
    head.info.width = image.width;
    head.info.height = image.height;
    head.info.planes = bmp::Planes;
    head.info.bitCount = static_cast<uint16_t>(image.bitCount);
    head.info.compression = bmp::Uncompressed;
    head.info.imageSize = imageSize;
    head.info.xPixelsPerMetre = static_cast<int32_t>(PixelsPerMetre(image.xDpi));
    head.info.yPixelsPerMetre = static_cast<int32_t>(PixelsPerMetre(image.yDpi));
    head.info.coloursUsed = image.colours;
    head.info.coloursImportant = image.colours;
    bmp::Write(head, block);
}

void BuildCoreHeaderBytes(const HeaderImage& image, uint8_t* block)
{
    // The core header holds 16-bit fields, and the sizes follow from them.
    bmp::CoreHead head{};
    head.core.headerSize = bmp::CoreHeaderSize;
    head.core.width = static_cast<uint16_t>(image.width);
    head.core.height = static_cast<uint16_t>(image.height);
    head.core.planes = bmp::Planes;
    head.core.bitCount = static_cast<uint16_t>(image.bitCount);
    head.file = FileHeaderFor(PixelDataOffset(HeaderLayout::Core, image.colours),
                              RowStride(head.core.width, head.core.bitCount) * head.core.height);
    bmp::Write(head, block);
}

bool SpoolFileSizes(uint32_t pixelDataOffset, int64_t width, int64_t height, uint32_t bitCount, uint32_t& pixelAreaSize)
{
    constexpr int64_t Limit = INT32_MAX;
    if (width < 0 || height < 0 || width > Limit) {
        return false;
    }
    const int64_t stride = static_cast<int64_t>(WideRowStride(static_cast<uint64_t>(width), bitCount));
    if (stride > Limit || (stride != 0 && height > Limit / stride)) {
        return false;
    }
    const int64_t area = stride * height;
    if (area + pixelDataOffset > Limit) {
        return false;
    }
    pixelAreaSize = static_cast<uint32_t>(area);
    return true;
}

} // namespace vlexif
