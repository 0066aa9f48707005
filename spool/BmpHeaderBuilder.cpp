#include "spool/BmpHeaderBuilder.h"

#include "pixels/PixelFormat.h"

namespace vlexif {

namespace {

bmp::FileHeader FileHeaderFor(uint32_t pixelDataOffset, uint64_t pixelAreaSize)
{
    bmp::FileHeader file{};
    file.signature = bmp::Signature;
    file.fileSize = bmp::SizeField(pixelDataOffset + pixelAreaSize);
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
    const uint64_t imageSize =
        bmp::WideRowStride(static_cast<uint32_t>(image.width), image.bitCount) * static_cast<uint32_t>(image.height);
    bmp::InfoHead head{};
    head.file = FileHeaderFor(PixelDataOffset(HeaderLayout::Info, image.colours), imageSize);
    head.info.headerSize = bmp::InfoHeaderSize;
    head.info.width = image.width;
    head.info.height = image.height;
    head.info.planes = bmp::Planes;
    head.info.bitCount = static_cast<uint16_t>(image.bitCount);
    head.info.compression = bmp::Uncompressed;
    head.info.imageSize = bmp::SizeField(imageSize);
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
                              bmp::WideRowStride(head.core.width, head.core.bitCount) * head.core.height);
    bmp::Write(head, block);
}

bool SpoolFileSizes(uint32_t pixelDataOffset, int64_t width, int64_t height, uint32_t bitCount, uint64_t& pixelAreaSize)
{
    // The info header's sides are signed 32-bit; file positions signed 64-bit.
    constexpr uint64_t Limit = INT64_MAX;
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) {
        return false;
    }
    const uint64_t stride = bmp::WideRowStride(static_cast<uint64_t>(width), bitCount);
    if (stride != 0 && static_cast<uint64_t>(height) > (Limit - pixelDataOffset) / stride) {
        return false;
    }
    pixelAreaSize = stride * static_cast<uint64_t>(height);
    return true;
}

} // namespace vlexif
