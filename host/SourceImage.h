// A decoded input picture: grey or RGB samples of 8 or 16 bits, top line
// first, read back at either depth. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vlscan {

// Grey from red, green and blue with weights of 0.299, 0.587 and 0.114 in
// 16-bit fixed point (they add up to 65536), rounded.
inline uint32_t WeightedLuma(uint32_t red, uint32_t green, uint32_t blue)
{
    return static_cast<uint32_t>((19595ull * red + 38470ull * green + 7471ull * blue + 32768ull) >> 16);
}

class SourceImage {
public:
    // `channels` is 1 (grey) or 3 (RGB); samples are interleaved.
    SourceImage(uint32_t width, uint32_t height, uint32_t channels, std::vector<uint8_t> samples);
    SourceImage(uint32_t width, uint32_t height, uint32_t channels, std::vector<uint16_t> samples);

    uint32_t Width() const { return width; }
    uint32_t Height() const { return height; }
    bool IsGrey() const { return channels == 1; }

    // Channel c (0 red, 1 green, 2 blue) of pixel i counted from the top left;
    // a grey picture answers its one sample for every channel.
    uint8_t Sample8(size_t pixel, uint32_t channel) const
    {
        const size_t at = pixel * channels + (channels == 1 ? 0 : channel);
        return narrow.empty() ? static_cast<uint8_t>((wide[at] * 255u + 32767u) / 65535u) : narrow[at];
    }
    uint16_t Sample16(size_t pixel, uint32_t channel) const
    {
        const size_t at = pixel * channels + (channels == 1 ? 0 : channel);
        return narrow.empty() ? wide[at] : static_cast<uint16_t>(narrow[at] * 257u);
    }

    // Rec. 601 luma at the picture's own scale, rounded.
    uint8_t Luma8(size_t pixel) const;
    uint16_t Luma16(size_t pixel) const;

private:
    uint32_t width;
    uint32_t height;
    uint32_t channels;
    std::vector<uint8_t> narrow;
    std::vector<uint16_t> wide;
};

} // namespace vlscan
