#include "host/picture/MemoryImage.h"

#include "host/picture/PaperRow.h"

#include <utility>

namespace vlscan {

namespace {

void CheckChannels(uint32_t channels)
{
    if (channels < 1 || channels > 4) {
        throw ImageLoadError("the picture has " + std::to_string(channels) + " channels");
    }
}

} // namespace

MemoryImage::MemoryImage(uint32_t width, uint32_t height, uint32_t channels, const uint8_t* samples,
                         std::shared_ptr<const void> owner)
    : SourceImage(width, height, channels <= 2), channels(channels), owner(std::move(owner)), narrow(samples)
{
    CheckChannels(channels);
}

MemoryImage::MemoryImage(uint32_t width, uint32_t height, uint32_t channels, const uint16_t* samples,
                         std::shared_ptr<const void> owner)
    : SourceImage(width, height, channels <= 2), channels(channels), owner(std::move(owner)), wide(samples)
{
    CheckChannels(channels);
}

SourceRow MemoryImage::Row(uint32_t y)
{
    const size_t start = static_cast<size_t>(y) * Width() * channels;
    return narrow ? PaperRow(narrow + start, Width(), channels, narrowOnPaper)
                  : PaperRow(wide + start, Width(), channels, wideOnPaper);
}

} // namespace vlscan
