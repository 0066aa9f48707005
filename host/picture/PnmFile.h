// Writes binary PGM and PPM files, 8 or 16 bits per sample, a line at a
// time. Platform-free: the caller opens the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace vlscan {

class PnmWriter {
public:
    // `channels` is 1 (PGM) or 3 (PPM); a `maxValue` over 255 makes 16-bit
    // samples. Writes the header; Good() tells whether it went out.
    PnmWriter(std::FILE* file, uint32_t width, uint32_t height, uint32_t channels, uint32_t maxValue);

    // One line of interleaved samples, top line first: 8-bit samples for a
    // file of 8 bits, 16-bit ones (written most significant byte first, as
    // PNM requires) for one of 16. False once a write failed.
    [[nodiscard]] bool Line(const uint8_t* samples);
    [[nodiscard]] bool Line(const uint16_t* samples);

    bool Good() const { return good; }

private:
    [[nodiscard]] bool Write(const uint8_t* lineBytes);

    std::FILE* file;
    std::vector<uint8_t> bytes;
    bool good;
};

} // namespace vlscan
