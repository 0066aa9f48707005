// Pictures and pages for the host's unit tests.
#pragma once

#include "host/picture/HostPage.h"
#include "host/picture/MemoryImage.h"

#include <memory>
#include <vector>

namespace vlscan {

// A picture of the given samples, interleaved, top line first.
template <class Sample>
MemoryImage ImageOf(uint32_t width, uint32_t height, uint32_t channels, std::vector<Sample> samples)
{
    const auto held = std::make_shared<const std::vector<Sample>>(std::move(samples));
    return MemoryImage(width, height, channels, held->data(), held);
}

// Every line's 8-bit samples, three per pixel, top line first.
inline std::vector<uint8_t> Rgb8Of(SourceImage& image)
{
    std::vector<uint8_t> rgb;
    for (uint32_t y = 0; y < image.Height(); ++y) {
        const SourceRow row = image.Row(y);
        for (uint32_t x = 0; x < image.Width(); ++x) {
            for (uint32_t c = 0; c < 3; ++c) {
                rgb.push_back(row.Sample8(x, c));
            }
        }
    }
    return rgb;
}

// A read nobody interrupts.
inline bool NeverStop()
{
    return false;
}

inline HostPage Build(SourceImage&& image, HostFormat format, Dither dither)
{
    return BuildHostPage(image, format, dither, NeverStop);
}

// The whole reference picture, 8-bit RGB, top line first.
inline std::vector<uint8_t> RenderReference(const HostPage& page)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(page.width) * page.height * 3);
    for (uint32_t y = 0; y < page.height; ++y) {
        RenderReferenceLine(page, y, rgb.data() + static_cast<size_t>(y) * page.width * 3);
    }
    return rgb;
}

} // namespace vlscan
