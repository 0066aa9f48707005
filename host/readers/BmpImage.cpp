#include "host/readers/BmpImage.h"

#include "host/picture/FileOffsets.h"
#include "host/picture/HostFormat.h"
#include "host/picture/LinePacking.h"

#include <optional>

namespace vlscan {

namespace {

constexpr uint32_t FileHeaderSize = 14;
constexpr uint32_t InfoHeaderSize = 40; // the smallest Windows header; later ones extend it

uint32_t Read16(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0] | at[1] << 8);
}

uint32_t Read32(const uint8_t* at)
{
    return Read16(at) | Read16(at + 2) << 16;
}

struct Layout {
    uint32_t width;
    uint32_t height;
    bool topDown;
    uint32_t bitsPerPixel;
    uint32_t paletteEntries; // where the palette is, right after the info header
    uint32_t infoSize;
    uint32_t dataOffset;
};

// The layout of an uncompressed 1-, 4-, 8- or 24-bit file; empty for others.
std::optional<Layout> ReadLayout(std::FILE* file)
{
    uint8_t header[FileHeaderSize + InfoHeaderSize];
    if (std::fread(header, 1, sizeof header, file) != sizeof header || header[0] != 'B' || header[1] != 'M') {
        return std::nullopt;
    }
    const uint8_t* info = header + FileHeaderSize;
    const uint32_t infoSize = Read32(info);
    const auto width = static_cast<int32_t>(Read32(info + 4));
    const auto height = static_cast<int32_t>(Read32(info + 8));
    const uint32_t bitsPerPixel = Read16(info + 14);
    const uint32_t compression = Read32(info + 16);
    const uint32_t coloursUsed = Read32(info + 32);
    const bool known = infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
    const bool depth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24;
    if (!known || !depth || compression != 0 || Read16(info + 12) != 1 || width <= 0 || height == 0 ||
        height == INT32_MIN) {
        return std::nullopt;
    }
    Layout layout{static_cast<uint32_t>(width),
                  static_cast<uint32_t>(height < 0 ? -height : height),
                  height < 0,
                  bitsPerPixel,
                  0,
                  infoSize,
                  Read32(header + 10)};
    if (bitsPerPixel <= 8) {
        const uint32_t room =
            layout.dataOffset >= FileHeaderSize + infoSize ? (layout.dataOffset - FileHeaderSize - infoSize) / 4 : 0;
        const uint32_t wanted =
            coloursUsed != 0 && coloursUsed < (1u << bitsPerPixel) ? coloursUsed : 1u << bitsPerPixel;
        layout.paletteEntries = wanted < room ? wanted : room;
    }
    return layout;
}

// A line of palette indices as RGB; an index past the palette is black.
template <class IndexOf>
void LookUp(const Palette& palette, uint32_t width, IndexOf indexOf, uint8_t* rgb)
{
    for (uint32_t x = 0; x < width; ++x, rgb += 3) {
        const uint32_t index = indexOf(x);
        const Rgb colour = index < palette.size() ? palette[index] : Rgb{0, 0, 0};
        rgb[0] = colour.red;
        rgb[1] = colour.green;
        rgb[2] = colour.blue;
    }
}

} // namespace

std::unique_ptr<BmpImage> BmpImage::Open(FilePtr& file)
{
    const std::optional<Layout> layout = ReadLayout(file.get());
    Palette palette(layout ? layout->paletteEntries : 0);
    for (Rgb& colour : palette) {
        uint8_t entry[4];
        if (std::fread(entry, 1, 4, file.get()) != 4) {
            throw ImageLoadError(EndsEarlyReason);
        }
        colour = {entry[2], entry[1], entry[0]};
    }
    if (!layout || (layout->bitsPerPixel <= 8 && palette.empty())) {
        if (!SeekTo(file.get(), 0)) {
            throw ImageLoadError(UnreadableReason);
        }
        return nullptr;
    }
    const std::optional<uint64_t> length = FileLength(file.get());
    if (!length) {
        throw ImageLoadError(UnreadableReason);
    }
    std::unique_ptr<BmpImage> image(new BmpImage(std::move(file), layout->width, layout->height, layout->topDown,
                                                 layout->bitsPerPixel, std::move(palette), layout->dataOffset));
    if (*length < layout->dataOffset || *length - layout->dataOffset < uint64_t{layout->height} * image->bytes.size()) {
        throw ImageLoadError(EndsEarlyReason);
    }
    return image;
}

BmpImage::BmpImage(FilePtr file, uint32_t width, uint32_t height, bool topDown, uint32_t bitsPerPixel, Palette palette,
                   uint64_t dataOffset)
    : SourceImage(width, height, false),
      file(std::move(file)),
      topDown(topDown),
      bitsPerPixel(bitsPerPixel),
      palette(std::move(palette)),
      dataOffset(dataOffset),
      bytes(PaddedStride(width, bitsPerPixel)),
      rgb(static_cast<size_t>(width) * 3)
{
}

SourceRow BmpImage::Row(uint32_t y)
{
    const uint32_t stored = topDown ? y : Height() - 1 - y;
    if (!SeekTo(file.get(), dataOffset + uint64_t{stored} * bytes.size()) ||
        std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        throw ImageLoadError(UnreadableReason);
    }
    const uint32_t width = Width();
    const uint8_t* line = bytes.data();
    switch (bitsPerPixel) {
    case 24:
        for (uint32_t x = 0; x < width; ++x) {
            rgb[3 * x] = line[3 * x + 2];
            rgb[3 * x + 1] = line[3 * x + 1];
            rgb[3 * x + 2] = line[3 * x];
        }
        break;
    case 8:
        LookUp(
            palette, width, [line](uint32_t x) { return line[x]; }, rgb.data());
        break;
    case 4:
        LookUp(
            palette, width, [line](uint32_t x) { return NibbleAt(line, x); }, rgb.data());
        break;
    default:
        LookUp(
            palette, width, [line](uint32_t x) { return BitAt(line, x); }, rgb.data());
        break;
    }
    return SourceRow(rgb.data(), 3);
}

} // namespace vlscan
