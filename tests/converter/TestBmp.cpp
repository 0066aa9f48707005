#include "tests/converter/TestBmp.h"

namespace vkexf::test {

void PutLe(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.at(offset + i) = static_cast<uint8_t>(value >> 8 * i);
}

std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const std::function<Rgb(uint32_t, uint32_t)>& pixel)
{
    const uint32_t headers = spec.coreHeader ? 14 + 12 : 14 + 40;
    const uint32_t stride = (spec.width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes(headers + size_t{stride} * spec.height);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    PutLe(bytes, 10, headers, 4);
    if (spec.coreHeader) {
        PutLe(bytes, 14, 12, 4);
        PutLe(bytes, 18, spec.width, 2);
        PutLe(bytes, 20, spec.height, 2);
        PutLe(bytes, 22, 1, 2);
        PutLe(bytes, 24, 24, 2);
    } else {
        const auto height = static_cast<int32_t>(spec.height);
        PutLe(bytes, 14, 40, 4);
        PutLe(bytes, 18, spec.width, 4);
        PutLe(bytes, 22, static_cast<uint32_t>(spec.topDown ? -height : height), 4);
        PutLe(bytes, 26, 1, 2);
        PutLe(bytes, 28, 24, 2);
        PutLe(bytes, 38, static_cast<uint32_t>(spec.pixelsPerMetre), 4);
        PutLe(bytes, 42, static_cast<uint32_t>(spec.pixelsPerMetre), 4);
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

} // namespace vkexf::test
