#include "host/picture/MemoryImage.h"

#include <limits>
#include <utility>

namespace vlscan {

namespace {

void CheckChannels(uint32_t channels)
{
    if (channels < 1 || channels > 4) {
        throw ImageLoadError("the picture has " + std::to_string(channels) + " channels");
    }
}

// A sample seen through its alpha, on white.
template <class Sample>
Sample OnWhite(Sample value, Sample alpha)
{
    constexpr uint64_t full = std::numeric_limits<Sample>::max();
    return static_cast<Sample>((uint64_t{value} * alpha + full * (full - alpha) + full / 2) / full);
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
    return narrow ? RowOf(narrow, narrowOnPaper, y) : RowOf(wide, wideOnPaper, y);
}

template <class Sample>
SourceRow MemoryImage::RowOf(const Sample* samples, std::vector<Sample>& onPaper, uint32_t y) const
{
    const uint32_t width = Width();
    const Sample* line = samples + static_cast<size_t>(y) * width * channels;
    const uint32_t colours = channels == 2 || channels == 4 ? channels - 1 : channels;
    if (colours == channels) {
        return SourceRow(line, channels);
    }
    onPaper.resize(static_cast<size_t>(width) * colours);
    for (uint32_t x = 0; x < width; ++x) {
        const Sample* pixel = line + static_cast<size_t>(x) * channels;
        for (uint32_t c = 0; c < colours; ++c) {
            onPaper[static_cast<size_t>(x) * colours + c] = OnWhite(pixel[c], pixel[colours]);
        }
    }
    return SourceRow(onPaper.data(), colours);
}

} // namespace vlscan
