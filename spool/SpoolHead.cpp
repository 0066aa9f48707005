#include "spool/SpoolHead.h"

#include "pixels/PixelFormat.h"
#include "spool/BmpHeaderBuilder.h"

#include <cstring>

namespace vlexif {

bool IsSpoolHead(const uint8_t (&head)[SpoolHeadBytes], uint64_t fileSize)
{
    const bmp::CoreHead core = bmp::Read<bmp::CoreHead>(head);
    const bmp::FileHeader& file = core.file;
    // A stated 0 only for a file past 4 GiB, whose size below must still add up.
    if (file.signature != bmp::Signature || file.fileSize != bmp::SizeField(fileSize) || file.reserved1 != 0 ||
        file.reserved2 != 0) {
        return false;
    }
    const uint32_t headerSize = core.core.headerSize;
    if (headerSize != bmp::InfoHeaderSize && headerSize != bmp::CoreHeaderSize) {
        return false;
    }
    const HeaderLayout layout = headerSize == bmp::InfoHeaderSize ? HeaderLayout::Info : HeaderLayout::Core;
    const bool info = layout == HeaderLayout::Info;
    // The head ends where the info header's planes begin: the rest stays zero.
    bmp::InfoHead infoHead{};
    std::memcpy(&infoHead, head, SpoolHeadBytes);
    // The info header's sizes are signed; a bottom-up spool file has both positive.
    const int64_t width = info ? infoHead.info.width : core.core.width;
    const int64_t height = info ? infoHead.info.height : core.core.height;
    const uint32_t pixelDataOffset = file.pixelDataOffset;
    // Every format BeginImage may spool, for its palette area and depth.
    for (const PixelLayout& format : PixelLayouts()) {
        const uint32_t bits = format.spoolBits;
        // The core header's planes and depth lie within the head too.
        const bool coreAgrees = info || (core.core.planes == bmp::Planes && core.core.bitCount == bits);
        uint64_t area = 0;
        if (coreAgrees && PixelDataOffset(layout, format.paletteEntries) == pixelDataOffset &&
            SpoolFileSizes(pixelDataOffset, width, height, bits, area) && area != 0 &&
            pixelDataOffset + area == fileSize) {
            return true;
        }
    }
    return false;
}

} // namespace vlexif
