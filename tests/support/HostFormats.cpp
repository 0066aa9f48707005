#include "tests/support/HostFormats.h"

#include "interface/SpoolLayout.h"

namespace vlexif::test {

int32_t ExifBytesPerLine(const FormatReference& format, int32_t width, std::mt19937& random)
{
    if (format.bits == 24) {
        return static_cast<int32_t>(Stride(width, 24));
    }
    return static_cast<int32_t>((static_cast<uint32_t>(width) * format.bits + 7) / 8 + random() % 4);
}

std::vector<uint8_t> BlackBmp24(int32_t width, int32_t height, uint32_t dpi)
{
    const uint32_t imageSize = Stride(width, 24) * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes(bmp::InfoHeadSize + imageSize, 0);
    const auto perMetre = static_cast<int32_t>(dpi * 10000 / 254);
    const bmp::InfoHead head{{bmp::Signature, bmp::InfoHeadSize + imageSize, 0, 0, bmp::InfoHeadSize},
                             {bmp::InfoHeaderSize, width, height, bmp::Planes, bmp::TrueColourBits, bmp::Uncompressed,
                              imageSize, perMetre, perMetre, 0, 0}};
    bmp::Write(head, bytes.data());
    return bytes;
}

} // namespace vlexif::test
