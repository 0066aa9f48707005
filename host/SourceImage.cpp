#include "host/SourceImage.h"

#include <stdexcept>
#include <utility>

namespace vlscan {

namespace {

void CheckShape(uint32_t width, uint32_t height, uint32_t channels, size_t samples)
{
    if ((channels != 1 && channels != 3) || samples != static_cast<size_t>(width) * height * channels) {
        throw std::invalid_argument("picture samples do not match its size");
    }
}

} // namespace

SourceImage::SourceImage(uint32_t width, uint32_t height, uint32_t channels, std::vector<uint8_t> samples)
    : width(width), height(height), channels(channels), narrow(std::move(samples))
{
    CheckShape(width, height, channels, narrow.size());
}

SourceImage::SourceImage(uint32_t width, uint32_t height, uint32_t channels, std::vector<uint16_t> samples)
    : width(width), height(height), channels(channels), wide(std::move(samples))
{
    CheckShape(width, height, channels, wide.size());
}

uint8_t SourceImage::Luma8(size_t pixel) const
{
    if (channels == 1) {
        return Sample8(pixel, 0);
    }
    return static_cast<uint8_t>(WeightedLuma(Sample8(pixel, 0), Sample8(pixel, 1), Sample8(pixel, 2)));
}

uint16_t SourceImage::Luma16(size_t pixel) const
{
    if (channels == 1) {
        return Sample16(pixel, 0);
    }
    return static_cast<uint16_t>(WeightedLuma(Sample16(pixel, 0), Sample16(pixel, 1), Sample16(pixel, 2)));
}

} // namespace vlscan
