#include "host/picture/PnmFile.h"

namespace vlscan {

PnmWriter::PnmWriter(std::FILE* file, uint32_t width, uint32_t height, uint32_t channels, uint32_t maxValue)
    : file(file),
      bytes(static_cast<size_t>(width) * channels * (maxValue > 255 ? 2 : 1)),
      good(std::fprintf(file, "P%c\n%u %u\n%u\n", channels == 1 ? '5' : '6', width, height, maxValue) > 0)
{
}

bool PnmWriter::Line(const uint8_t* samples)
{
    return Write(samples);
}

bool PnmWriter::Write(const uint8_t* lineBytes)
{
    good = good && std::fwrite(lineBytes, 1, bytes.size(), file) == bytes.size();
    return good;
}

bool PnmWriter::Line(const uint16_t* samples)
{
    for (size_t i = 0; i < bytes.size() / 2; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(samples[i] >> 8);
        bytes[2 * i + 1] = static_cast<uint8_t>(samples[i] & 0xFF);
    }
    return Write(bytes.data());
}

} // namespace vlscan
