#include "tests/support/HostFormats.h"

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
    std::vector<uint8_t> bmp(54 + imageSize, 0);
    auto put = [&bmp](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            bmp[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, 54 + imageSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageSize, 4);
    put(38, dpi * 10000 / 254, 4);
    put(42, dpi * 10000 / 254, 4);
    return bmp;
}

} // namespace vlexif::test
