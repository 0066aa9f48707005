// An input picture read a line at a time: grey or RGB samples of 8 or 16
// bits, top line first, read back at either depth. Whether the lines come
// from memory or from the file is the reader's business. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace vlscan {

// Why a picture cannot be read, in words for the user; the caller names the file.
class ImageLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Asked between the lines and passes of a read: true ends the read with
// ReadInterrupted, so a Ctrl+C never waits for a whole picture.
using StopCheck = std::function<bool()>;

class ReadInterrupted : public std::runtime_error {
public:
    ReadInterrupted() : std::runtime_error("the read was interrupted") {}
};

// Grey from red, green and blue with weights of 0.299, 0.587 and 0.114 in
// 16-bit fixed point (they add up to 65536), rounded.
inline uint32_t WeightedLuma(uint32_t red, uint32_t green, uint32_t blue)
{
    return static_cast<uint32_t>((19595ull * red + 38470ull * green + 7471ull * blue + 32768ull) >> 16);
}

// One line's interleaved samples, 1 (grey) or 3 (RGB) per pixel, borrowed.
class SourceRow {
public:
    SourceRow(const uint8_t* samples, uint32_t channels) : narrow(samples), wide(nullptr), channels(channels) {}
    SourceRow(const uint16_t* samples, uint32_t channels) : narrow(nullptr), wide(samples), channels(channels) {}

    // Channel c (0 red, 1 green, 2 blue) of pixel x; a grey line answers its
    // one sample for every channel.
    uint8_t Sample8(uint32_t x, uint32_t channel) const
    {
        const size_t at = Index(x, channel);
        return narrow ? narrow[at] : static_cast<uint8_t>((wide[at] * 255u + 32767u) / 65535u);
    }
    uint16_t Sample16(uint32_t x, uint32_t channel) const
    {
        const size_t at = Index(x, channel);
        return narrow ? static_cast<uint16_t>(narrow[at] * 257u) : wide[at];
    }

    // Rec. 601 luma at the line's own scale, rounded.
    uint8_t Luma8(uint32_t x) const
    {
        return channels == 1 ? Sample8(x, 0)
                             : static_cast<uint8_t>(WeightedLuma(Sample8(x, 0), Sample8(x, 1), Sample8(x, 2)));
    }
    uint16_t Luma16(uint32_t x) const
    {
        return channels == 1 ? Sample16(x, 0)
                             : static_cast<uint16_t>(WeightedLuma(Sample16(x, 0), Sample16(x, 1), Sample16(x, 2)));
    }

private:
    size_t Index(uint32_t x, uint32_t channel) const
    {
        return static_cast<size_t>(x) * channels + (channels == 1 ? 0 : channel);
    }

    const uint8_t* narrow;
    const uint16_t* wide;
    uint32_t channels;
};

class SourceImage {
public:
    // Longest side any reader accepts: a line's bytes stay far inside 32 bits.
    static constexpr uint32_t MaxSide = 1u << 24;

    virtual ~SourceImage() = default;

    uint32_t Width() const { return width; }
    uint32_t Height() const { return height; }
    bool IsGrey() const { return grey; }

    // Line y counted from the top, valid until the next call. Pages ask
    // top-down; the readers that decode as they go can skip lines forward
    // but never go back. Throws ImageLoadError when the file fails under the
    // reader.
    virtual SourceRow Row(uint32_t y) = 0;

protected:
    // Throws ImageLoadError for an empty picture or a side over MaxSide.
    SourceImage(uint32_t width, uint32_t height, bool grey);
    SourceImage(SourceImage&&) = default;

private:
    uint32_t width;
    uint32_t height;
    bool grey;
};

// Reasons every reader gives alike.
constexpr char EndsEarlyReason[] = "the file ends before the picture does";
constexpr char UnreadableReason[] = "the file cannot be read";

// "the picture is W x H pixels, too large to hold in memory".
std::string TooLargeReason(uint64_t width, uint64_t height);

// Throws ImageLoadError for a picture whose decoded samples would not fit in
// the 32-bit host's memory, before a decoder allocates anything for it.
void CheckDecodable(uint64_t width, uint64_t height, uint64_t channels, uint64_t bytesPerSample);

} // namespace vlscan
