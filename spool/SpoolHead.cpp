#include "spool/SpoolHead.h"

#include "spool/BmpHeader.h"
#include "pixels/PixelFormat.h"

namespace vlexif {

namespace {

// Every format BeginImage may spool, for its palette area and depth.
constexpr ImageFormat spooledFormats[] = {FormatRgb24,  FormatRgb48,    FormatGray4,    FormatGray8,   FormatGray16,
                                          FormatIndexed1, FormatIndexed4, FormatIndexed8, FormatBilevel};

uint32_t Get16(const uint8_t* at)
{
    return at[0] | at[1] << 8;
}

uint32_t Get32(const uint8_t* at)
{
    return Get16(at) | Get16(at + 2) << 16;
}

} // namespace

bool IsSpoolHead(const uint8_t (&head)[SpoolHeadBytes], uint32_t fileSize)
{
    if (head[0] != 'B' || head[1] != 'M' || Get32(head + 2) != fileSize || Get32(head + 6) != 0) {
        return false;
    }
    const uint8_t* bitmap = head + FileHeaderSize;
    const uint32_t headerSize = Get32(bitmap);
    if (headerSize != InfoHeaderSize && headerSize != CoreHeaderSize) {
        return false;
    }
    const HeaderLayout layout = headerSize == InfoHeaderSize ? HeaderLayout::Info : HeaderLayout::Core;
    const bool info = layout == HeaderLayout::Info;
    // The info header's sizes are signed; a bottom-up spool file has both positive.
    const int64_t width = info ? static_cast<int32_t>(Get32(bitmap + 4)) : Get16(bitmap + 4);
    const int64_t height = info ? static_cast<int32_t>(Get32(bitmap + 8)) : Get16(bitmap + 6);
    const uint32_t pixelDataOffset = Get32(head + 10);
    for (const ImageFormat format : spooledFormats) {
        const uint32_t bits = SpoolBitDepth(format, 0);
        // The core header's planes and depth lie within the head too.
        const bool coreAgrees = info || (Get16(bitmap + 8) == 1 && Get16(bitmap + 10) == bits);
        uint32_t area = 0;
        if (coreAgrees && PixelDataOffset(layout, PaletteEntries(format)) == pixelDataOffset &&
            SpoolFileSizes(pixelDataOffset, width, height, bits, area) && area != 0 &&
            pixelDataOffset + area == fileSize) {
            return true;
        }
    }
    return false;
}

} // namespace vlexif
