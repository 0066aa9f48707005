#include "tests/support/HostFormats.h"

#include "interface/SpoolLayout.h"

#include <cstring>

namespace vlexif::test {

const HostFormat hostFormats[8] = {
    {"rgb24", 24, 3, 2, false},   {"rgb48", 48, 3, 2, false},    {"gray8", 8, 1, 1, false},
    {"gray16", 16, 1, 1, true},   {"indexed8", 8, 1, 3, true},   {"indexed4", 4, 1, 3, true},
    {"indexed1", 1, 1, 3, true},  {"bilevel", 1, 1, 0, true},
};

uint32_t Stride24(int32_t width)
{
    return (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
}

int32_t HostBytesPerLine(const HostFormat& format, int32_t width, std::mt19937& random)
{
    if (format.bits == 24) {
        return static_cast<int32_t>(Stride24(width));
    }
    return static_cast<int32_t>((static_cast<uint32_t>(width) * format.bits + 7) / 8 + random() % 4);
}

void HostPixel(const HostFormat& format, const uint8_t* line, int32_t j, const uint8_t* table, uint8_t* bgr)
{
    int index = 0;
    switch (format.bits) {
    case 24:
        bgr[0] = line[3 * j + 2];
        bgr[1] = line[3 * j + 1];
        bgr[2] = line[3 * j];
        return;
    case 48:
        bgr[0] = line[6 * j + 5];
        bgr[1] = line[6 * j + 3];
        bgr[2] = line[6 * j + 1];
        return;
    case 16:
        index = line[2 * j + 1];
        break;
    case 8:
        if (!format.usesPalette) {
            bgr[0] = bgr[1] = bgr[2] = line[j];
            return;
        }
        index = line[j];
        break;
    case 4:
        index = (j % 2 == 0) ? line[j / 2] >> 4 : line[j / 2] & 15;
        break;
    default:
        index = (line[j / 8] >> (7 - j % 8)) & 1;
        break;
    }
    std::memcpy(bgr, table + 4 * index, 3);
}

std::vector<uint8_t> BlackBmp24(int32_t width, int32_t height, uint32_t dpi)
{
    const uint32_t imageSize = Stride24(width) * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes(bmp::InfoHeadSize + imageSize, 0);
    const auto perMetre = static_cast<int32_t>(dpi * 10000 / 254);
    const bmp::InfoHead head{{bmp::Signature, bmp::InfoHeadSize + imageSize, 0, 0, bmp::InfoHeadSize},
                             {bmp::InfoHeaderSize, width, height, bmp::Planes, bmp::TrueColourBits, bmp::Uncompressed,
                              imageSize, perMetre, perMetre, 0, 0}};
    bmp::Write(head, bytes.data());
    return bytes;
}

} // namespace vlexif::test
