#include "host/PnmFile.h"

#include <cstdio>
#include <memory>

namespace vlscan {

namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WriteFile(const std::string& path, uint32_t width, uint32_t height, uint32_t channels, unsigned maxValue,
               const uint8_t* bytes, size_t size)
{
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    const bool written = std::fprintf(file.get(), "P%c\n%u %u\n%u\n", channels == 1 ? '5' : '6', width, height,
                                      maxValue) > 0 &&
                         std::fwrite(bytes, 1, size, file.get()) == size;
    return std::fclose(file.release()) == 0 && written;
}

} // namespace

bool WritePnm(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
              const std::vector<uint8_t>& samples)
{
    return WriteFile(path, width, height, channels, 255, samples.data(), samples.size());
}

bool WritePnm16(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
                const std::vector<uint16_t>& samples)
{
    std::vector<uint8_t> bytes(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(samples[i] >> 8);
        bytes[2 * i + 1] = static_cast<uint8_t>(samples[i] & 0xFF);
    }
    return WriteFile(path, width, height, channels, 65535, bytes.data(), bytes.size());
}

} // namespace vlscan
