#include "converter/tests/TestBmp.h"

namespace vkexf::test {

void PutU16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value)
{
    bytes.at(offset) = static_cast<uint8_t>(value);
    bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    PutU16(bytes, offset, static_cast<uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const PixelFn& pixel)
{
    const bool core = spec.header == BmpHeaderKind::Core;
    const uint32_t headerBytes = 14 + (core ? 12 : 40);
    const uint32_t stride = (spec.width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bytes(headerBytes + size_t{stride} * spec.height);

    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    PutU32(bytes, 10, headerBytes);
    if (core) {
        PutU32(bytes, 14, 12);
        PutU16(bytes, 18, static_cast<uint16_t>(spec.width));
        PutU16(bytes, 20, static_cast<uint16_t>(spec.height));
        PutU16(bytes, 22, 1);
        PutU16(bytes, 24, 24);
    } else {
        const auto height = static_cast<int32_t>(spec.height);
        PutU32(bytes, 14, 40);
        PutU32(bytes, 18, spec.width);
        PutU32(bytes, 22, static_cast<uint32_t>(spec.topDown ? -height : height));
        PutU16(bytes, 26, 1);
        PutU16(bytes, 28, 24);
        PutU32(bytes, 34, stride * spec.height);
        PutU32(bytes, 38, static_cast<uint32_t>(spec.xPixelsPerMetre));
        PutU32(bytes, 42, static_cast<uint32_t>(spec.yPixelsPerMetre));
    }
    if (!pixel)
        return bytes;
    for (uint32_t y = 0; y < spec.height; ++y) {
        const uint32_t stored = spec.topDown ? y : spec.height - 1 - y;
        uint8_t* row = bytes.data() + headerBytes + size_t{stored} * stride;
        for (uint32_t x = 0; x < spec.width; ++x) {
            const Rgb colour = pixel(x, y);
            row[3 * x] = colour.b;
            row[3 * x + 1] = colour.g;
            row[3 * x + 2] = colour.r;
        }
    }
    return bytes;
}

PixelFn Ramps(uint32_t width, uint32_t height)
{
    return [width, height](uint32_t x, uint32_t y) {
        // Steep ramps only in brightness: chroma is subsampled, so a fixed
        // tint is what tells the channels apart.
        const uint32_t down = height > 1 ? 100 * y / (height - 1) : 0;
        const uint32_t across = width > 1 ? 50 * x / (width - 1) : 0;
        const auto grey = static_cast<uint8_t>(50 + down + across);
        return Rgb{static_cast<uint8_t>(grey + 40), grey, static_cast<uint8_t>(grey - 40)};
    };
}

} // namespace vkexf::test
