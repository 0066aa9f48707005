#include "tests/converter/TestBmp.h"

namespace vkexf::test {

std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const std::function<Rgb(uint32_t, uint32_t)>& pixel)
{
    const uint32_t headers = spec.coreHeader ? bmp::CoreHeadSize : bmp::InfoHeadSize;
    const uint32_t stride = (spec.width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes(headers + size_t{stride} * spec.height);
    bmp::FileHeader file{};
    file.signature = bmp::Signature;
    file.fileSize = static_cast<uint32_t>(bytes.size());
    file.pixelDataOffset = headers;
    if (spec.coreHeader) {
        const bmp::CoreHeader core{bmp::CoreHeaderSize, static_cast<uint16_t>(spec.width),
                                   static_cast<uint16_t>(spec.height), bmp::Planes, bmp::TrueColourBits};
        bmp::Write(bmp::CoreHead{file, core}, bytes.data());
    } else {
        const auto height = static_cast<int32_t>(spec.height);
        bmp::InfoHeader info{};
        info.headerSize = bmp::InfoHeaderSize;
        info.width = static_cast<int32_t>(spec.width);
        info.height = spec.topDown ? -height : height;
        info.planes = bmp::Planes;
        info.bitCount = bmp::TrueColourBits;
        info.xPixelsPerMetre = spec.pixelsPerMetre;
        info.yPixelsPerMetre = spec.pixelsPerMetre;
        bmp::Write(bmp::InfoHead{file, info}, bytes.data());
    }
    for (uint32_t y = 0; pixel && y < spec.height; ++y) {
        uint8_t* row = bytes.data() + headers + size_t{spec.topDown ? y : spec.height - 1 - y} * stride;
        for (uint32_t x = 0; x < spec.width; ++x, row += 3) {
            const Rgb colour = pixel(x, y);
            row[0] = colour.b;
            row[1] = colour.g;
            row[2] = colour.r;
        }
    }
    return bytes;
}

Rgb Ramps(const BmpSpec& spec, uint32_t x, uint32_t y)
{
    const uint32_t down = spec.height > 1 ? 100 * y / (spec.height - 1) : 0;
    const uint32_t across = spec.width > 1 ? 50 * x / (spec.width - 1) : 0;
    const auto grey = static_cast<uint8_t>(50 + down + across);
    return Rgb{static_cast<uint8_t>(grey + 40), grey, static_cast<uint8_t>(grey - 40)};
}

void ChangeInfoHead(std::vector<uint8_t>& bytes, void (*change)(bmp::InfoHead&))
{
    bmp::InfoHead head = bmp::Read<bmp::InfoHead>(bytes.data());
    change(head);
    bmp::Write(head, bytes.data());
}

} // namespace vkexf::test
