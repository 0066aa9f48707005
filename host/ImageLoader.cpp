#include "host/ImageLoader.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_PNM
#include <stb_image.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

namespace vlscan {

namespace {

struct StbFree {
    void operator()(void* pixels) const { stbi_image_free(pixels); }
};

template <class Sample>
std::vector<Sample> TakeSamples(void* pixels, size_t count)
{
    const std::unique_ptr<void, StbFree> owner(pixels);
    const Sample* first = static_cast<const Sample*>(pixels);
    return std::vector<Sample>(first, first + count);
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The next header number of a PNM file, past whitespace and comments.
bool ReadHeaderNumber(std::FILE* file, uint32_t& value)
{
    int c = std::fgetc(file);
    while (c == '#' || std::isspace(c)) {
        if (c == '#') {
            while (c != '\n' && c != EOF) {
                c = std::fgetc(file);
            }
        }
        c = std::fgetc(file);
    }
    if (!std::isdigit(c)) {
        return false;
    }
    uint64_t number = 0;
    for (; std::isdigit(c) && number <= 0xFFFFFFFFu; c = std::fgetc(file)) {
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    value = static_cast<uint32_t>(number);
    // One whitespace character ends the header's last number.
    return number <= 0xFFFFFFFFu && std::isspace(c);
}

// Binary PGM and PPM files of more than 8 bits, which this stb_image reads
// with their bytes swapped. Empty for every other file.
std::optional<SourceImage> ReadWidePnm(const std::string& path)
{
    const std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    char magic[2] = {};
    if (!file || std::fread(magic, 1, 2, file.get()) != 2 || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6')) {
        return std::nullopt;
    }
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t maxValue = 0;
    if (!ReadHeaderNumber(file.get(), width) || !ReadHeaderNumber(file.get(), height) ||
        !ReadHeaderNumber(file.get(), maxValue) || maxValue < 256) {
        return std::nullopt;
    }
    if (maxValue > 65535 || width == 0 || height == 0 || width > (1u << 24) || height > (1u << 24)) {
        throw ImageLoadError(path + ": bad PNM header");
    }
    const uint32_t channels = magic[1] == '5' ? 1 : 3;
    const size_t count = static_cast<size_t>(width) * height * channels;
    std::vector<uint8_t> bytes(count * 2);
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        throw ImageLoadError(path + ": PNM file too short");
    }
    std::vector<uint16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t value = static_cast<uint32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        samples[i] = static_cast<uint16_t>(value >= maxValue ? 65535 : (value * 65535u + maxValue / 2) / maxValue);
    }
    return SourceImage(width, height, channels, std::move(samples));
}

} // namespace

SourceImage LoadSourceImage(const std::string& path)
{
    if (std::optional<SourceImage> wide = ReadWidePnm(path)) {
        return std::move(*wide);
    }
    int width = 0;
    int height = 0;
    int channelsInFile = 0;
    if (!stbi_info(path.c_str(), &width, &height, &channelsInFile)) {
        throw ImageLoadError(path + ": " + stbi_failure_reason());
    }
    // Grey with or without alpha stays grey; colour loses its alpha.
    const int channels = channelsInFile <= 2 ? 1 : 3;
    const bool sixteenBit = stbi_is_16_bit(path.c_str()) != 0;
    void* pixels = sixteenBit
                       ? static_cast<void*>(stbi_load_16(path.c_str(), &width, &height, &channelsInFile, channels))
                       : static_cast<void*>(stbi_load(path.c_str(), &width, &height, &channelsInFile, channels));
    if (!pixels) {
        throw ImageLoadError(path + ": " + stbi_failure_reason());
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels);
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    if (sixteenBit) {
        return SourceImage(w, h, static_cast<uint32_t>(channels), TakeSamples<uint16_t>(pixels, count));
    }
    return SourceImage(w, h, static_cast<uint32_t>(channels), TakeSamples<uint8_t>(pixels, count));
}

} // namespace vlscan
