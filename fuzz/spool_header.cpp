// The spool file's head as BeginImage makes it: the image-size check, then
// the header builders on a block of exactly the header's size. A header the
// check lets through must state the sizes the check computed, and a 24-bit
// one must be read back by the converter's parser as the same image.
#include "converter/files/BmpHeaderParser.h"
#include "fuzz/HostValues.h"
#include "pixels/PixelFormat.h"
#include "spool/BmpHeaderBuilder.h"

namespace vlexif::fuzz {
namespace {

// SpoolFileSizes against plain 128-bit arithmetic.
void CheckSizesAlone(FuzzedDataProvider& in)
{
    const uint32_t offset = in.ConsumeIntegral<uint32_t>();
    const int64_t width = in.ConsumeIntegral<int64_t>();
    const int64_t height = in.ConsumeIntegral<int64_t>();
    const uint32_t bits = in.ConsumeIntegral<uint32_t>();
    uint64_t area = 0;
    const bool fits = SpoolFileSizes(offset, width, height, bits, area);
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) {
        Require(!fits, "negative or over-large sides are refused");
        return;
    }
    const __int128 stride = ((__int128{width} * bits + 31) >> 3) & ~__int128{3};
    const __int128 total = stride * height + offset;
    Require(fits == (total <= INT64_MAX), "accepted exactly when the file fits 63 bits");
    Require(!fits || area == stride * height, "the pixel area is stride × height");
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        CheckSizesAlone(in);
        return 0;
    }
    const HeaderLayout layout = in.ConsumeBool() ? HeaderLayout::Info : HeaderLayout::Core;
    constexpr uint32_t Depths[] = {1, 4, 8, 24};
    constexpr uint32_t PaletteSizes[] = {0, 2, 16, 256};
    const uint32_t bitCount =
        in.ConsumeBool() ? Depths[in.ConsumeIntegralInRange<size_t>(0, 3)] : in.ConsumeIntegral<uint16_t>();
    const uint32_t colours = in.PickValueInArray(PaletteSizes);
    HeaderImage image{in.ConsumeIntegral<uint32_t>(),
                      in.ConsumeIntegral<uint32_t>(),
                      HostInt(in, 70000),
                      HostInt(in, 70000),
                      bitCount,
                      colours};

    // BmpSpoolPlugin::CheckImageSize.
    if (image.width < 0 || image.height < 0 ||
        (layout == HeaderLayout::Core && (image.width > 0xFFFF || image.height > 0xFFFF))) {
        return 0;
    }
    const uint32_t offset = HeaderBytes(layout) + PaletteEntryBytes(layout) * image.colours;
    uint64_t area = 0;
    if (!SpoolFileSizes(offset, image.width, image.height, image.bitCount, area)) {
        return 0;
    }

    const size_t headerBytes = HeaderBytes(layout);
    const std::unique_ptr<uint8_t[]> header(new uint8_t[headerBytes]());
    if (layout == HeaderLayout::Info) {
        BuildInfoHeaderBytes(image, header.get());
        const bmp::InfoHeader info = bmp::Read<bmp::InfoHead>(header.get()).info;
        Require(info.coloursUsed == image.colours, "colours used as given");
        Require(info.imageSize == bmp::SizeField(area), "image size is the checked pixel area, or 0 past 32 bits");
    } else {
        BuildCoreHeaderBytes(image, header.get());
    }
    const bmp::FileHeader file = bmp::Read<bmp::FileHeader>(header.get());
    Require(file.pixelDataOffset == offset, "pixels start after header and palette");
    Require(file.fileSize == bmp::SizeField(offset + area), "file size is offset plus pixel area, or 0 past 32 bits");

    if (image.bitCount != bmp::TrueColourBits || image.width == 0 || image.height == 0 ||
        image.width > static_cast<int32_t>(VkExfMaxImageSide) ||
        image.height > static_cast<int32_t>(VkExfMaxImageSide)) {
        return 0;
    }
    vkexf::BmpLayout parsed;
    Require(vkexf::ParseBmpHeader(header.get(), headerBytes, offset + area, parsed) == vkexf::BmpError::None,
            "the converter reads a 24-bit spool header");
    Require(parsed.width == static_cast<uint32_t>(image.width) &&
                parsed.height == static_cast<uint32_t>(image.height) && !parsed.topDown &&
                parsed.pixelOffset == offset && uint64_t{parsed.stride} * parsed.height == area,
            "the converter reads the image the plug-in described");
    if (layout == HeaderLayout::Info) {
        Require(parsed.xPixelsPerMetre == static_cast<int32_t>(PixelsPerMetre(image.xDpi)) &&
                    parsed.yPixelsPerMetre == static_cast<int32_t>(PixelsPerMetre(image.yDpi)),
                "the converter reads the resolution the plug-in wrote");
    }
    return 0;
}
