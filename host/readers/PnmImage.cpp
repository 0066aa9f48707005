#include "host/readers/PnmImage.h"

#include "host/picture/FileOffsets.h"

#include <cctype>

namespace vlscan {

namespace {

constexpr char DamagedHeader[] = "the PNM header is damaged";

// The next header number, past whitespace and comments; one whitespace
// character ends it.
uint32_t ReadHeaderNumber(std::FILE* file)
{
    int c = std::fgetc(file);
    while (c == '#' || std::isspace(c)) {
        if (c == '#') {
            while (c != '\n' && c != EOF) {
                c = std::fgetc(file);
            }
        }
        c = std::fgetc(file);
    }
    if (c == EOF) {
        throw ImageLoadError(EndsEarlyReason);
    }
    uint64_t number = 0;
    bool digits = false;
    for (; std::isdigit(c) && number <= 0xFFFFFFFFu; c = std::fgetc(file), digits = true) {
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (!digits || number > 0xFFFFFFFFu || !std::isspace(c)) {
        throw ImageLoadError(DamagedHeader);
    }
    return static_cast<uint32_t>(number);
}

} // namespace

std::unique_ptr<PnmImage> PnmImage::Open(FilePtr file)
{
    char magic[2] = {};
    if (std::fread(magic, 1, 2, file.get()) != 2 || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6')) {
        throw ImageLoadError(DamagedHeader);
    }
    const uint32_t width = ReadHeaderNumber(file.get());
    const uint32_t height = ReadHeaderNumber(file.get());
    const uint32_t maxValue = ReadHeaderNumber(file.get());
    if (maxValue == 0 || maxValue > 65535) {
        throw ImageLoadError(DamagedHeader);
    }
    const std::optional<uint64_t> dataOffset = Position(file.get());
    const std::optional<uint64_t> length = FileLength(file.get());
    if (!dataOffset || !length) {
        throw ImageLoadError(UnreadableReason);
    }
    const uint32_t channels = magic[1] == '5' ? 1 : 3;
    std::unique_ptr<PnmImage> image(new PnmImage(std::move(file), width, height, channels, maxValue, *dataOffset));
    if (*length - *dataOffset < uint64_t{height} * image->bytes.size()) {
        throw ImageLoadError(EndsEarlyReason);
    }
    return image;
}

PnmImage::PnmImage(FilePtr file, uint32_t width, uint32_t height, uint32_t channels, uint32_t maxValue,
                   uint64_t dataOffset)
    : SourceImage(width, height, channels == 1),
      file(std::move(file)),
      channels(channels),
      maxValue(maxValue),
      dataOffset(dataOffset),
      bytes(static_cast<size_t>(width) * channels * (maxValue > 255 ? 2 : 1))
{
}

SourceRow PnmImage::Row(uint32_t y)
{
    if (y != nextRow && !SeekTo(file.get(), dataOffset + uint64_t{y} * bytes.size())) {
        throw ImageLoadError(UnreadableReason);
    }
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        throw ImageLoadError(std::feof(file.get()) ? EndsEarlyReason : UnreadableReason);
    }
    nextRow = y + 1;
    const size_t count = static_cast<size_t>(Width()) * channels;
    if (maxValue == 255) {
        return SourceRow(bytes.data(), channels);
    }
    // Samples above the maximum count as the maximum.
    if (maxValue < 256) {
        narrow.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const uint32_t value = bytes[i];
            narrow[i] = static_cast<uint8_t>(value >= maxValue ? 255 : (value * 255u + maxValue / 2) / maxValue);
        }
        return SourceRow(narrow.data(), channels);
    }
    wide.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t value = static_cast<uint32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        wide[i] = static_cast<uint16_t>(value >= maxValue ? 65535 : (value * 65535u + maxValue / 2) / maxValue);
    }
    return SourceRow(wide.data(), channels);
}

} // namespace vlscan
