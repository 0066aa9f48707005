// Lines whose pixels carry alpha, laid on white paper as they are read, so a
// decoded line is never copied otherwise. Platform-free.
#pragma once

#include "host/picture/SourceImage.h"

#include <limits>
#include <vector>

namespace vlscan {

// A sample seen through its alpha, on white.
template <class Sample>
Sample OnWhite(Sample value, Sample alpha)
{
    constexpr uint64_t Full = std::numeric_limits<Sample>::max();
    return static_cast<Sample>((uint64_t{value} * alpha + Full * (Full - alpha) + Full / 2) / Full);
}

// A line of 1 to 4 interleaved channels (grey, grey and alpha, RGB, RGBA):
// the line itself without alpha, else the line laid on white in `onPaper`.
template <class Sample>
SourceRow PaperRow(const Sample* line, uint32_t width, uint32_t channels, std::vector<Sample>& onPaper)
{
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
