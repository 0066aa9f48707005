#include "host/picture/ImageLoader.h"

#include "host/picture/BmpImage.h"
#include "host/picture/FileOffsets.h"
#include "host/picture/MemoryImage.h"
#include "host/picture/PnmImage.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#include <stb_image.h>

#include <climits>
#include <cstring>
#include <string>

namespace vlscan {

namespace {

constexpr char Damaged[] = "the picture data is damaged";

void Rewind(std::FILE* file)
{
    if (!SeekTo(file, 0)) {
        throw ImageLoadError(UnreadableReason);
    }
}

uint32_t Read32BE(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
           static_cast<uint32_t>(at[2]) << 8 | at[3];
}

// The decoder's buffer for the picture: more than it can address is refused
// before it tries.
void CheckDecodable(uint64_t width, uint64_t height, uint64_t channels, uint64_t bytesPerSample)
{
    if (width > SourceImage::MaxSide || height > SourceImage::MaxSide ||
        width * height * channels * bytesPerSample > INT_MAX) {
        throw ImageLoadError(TooLargeReason(width, height));
    }
}

// Walks a PNG file's chunks from the header to the end chunk, which the
// decoder would report only as a failure without reason.
void CheckPngChunks(std::FILE* file)
{
    const std::optional<uint64_t> length = FileLength(file);
    if (!length) {
        throw ImageLoadError(UnreadableReason);
    }
    uint64_t at = 8;
    for (bool first = true;; first = false) {
        uint8_t head[8 + 13];
        const size_t wanted = first ? sizeof head : 8;
        if (!SeekTo(file, at) || std::fread(head, 1, wanted, file) != wanted) {
            throw ImageLoadError(EndsEarlyReason);
        }
        const uint32_t size = Read32BE(head);
        if (first) {
            if (std::memcmp(head + 4, "IHDR", 4) != 0 || size != 13) {
                throw ImageLoadError(Damaged);
            }
            // Colour types 0 grey, 2 RGB, 3 palette (RGBA when it has transparency), 4 grey and alpha, 6 RGBA.
            static const uint8_t channels[7] = {1, 0, 3, 4, 2, 0, 4};
            const uint8_t colourType = head[8 + 9];
            if (colourType > 6 || channels[colourType] == 0) {
                throw ImageLoadError(Damaged);
            }
            CheckDecodable(Read32BE(head + 8), Read32BE(head + 12), channels[colourType], head[8 + 8] == 16 ? 2 : 1);
        } else if (std::memcmp(head + 4, "IEND", 4) == 0) {
            return;
        }
        at += 12 + uint64_t{size};
        if (at > *length) {
            throw ImageLoadError(EndsEarlyReason);
        }
    }
}

// The decoder reads through these, which note whether it came to the end.
struct DecoderInput {
    std::FILE* file;
    bool reachedEnd = false;

    static int Read(void* user, char* data, int size)
    {
        auto& input = *static_cast<DecoderInput*>(user);
        const size_t read = std::fread(data, 1, static_cast<size_t>(size), input.file);
        input.reachedEnd = input.reachedEnd || read < static_cast<size_t>(size);
        return static_cast<int>(read);
    }
    static void Skip(void* user, int bytes)
    {
        auto& input = *static_cast<DecoderInput*>(user);
        if (std::fseek(input.file, bytes, SEEK_CUR) != 0) {
            input.reachedEnd = true;
        }
    }
    static int AtEnd(void* user)
    {
        auto& input = *static_cast<DecoderInput*>(user);
        return std::feof(input.file) || std::ferror(input.file);
    }

    // Back to the start for the decoder's next look.
    DecoderInput& Restart()
    {
        Rewind(file);
        reachedEnd = false;
        return *this;
    }
};

constexpr stbi_io_callbacks Callbacks = {DecoderInput::Read, DecoderInput::Skip, DecoderInput::AtEnd};

struct StbFree {
    void operator()(const void* pixels) const { stbi_image_free(const_cast<void*>(pixels)); }
};

// PNG, JPEG and the BMP kinds BmpImage leaves over, decoded whole.
// `complete`: the file is known to hold all of its picture.
std::unique_ptr<SourceImage> Decode(FilePtr file, bool complete)
{
    DecoderInput input{file.get()};
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_callbacks(&Callbacks, &input.Restart(), &width, &height, &channels)) {
        throw ImageLoadError(input.reachedEnd && !complete ? EndsEarlyReason : Damaged);
    }
    const bool sixteenBit = stbi_is_16_bit_from_callbacks(&Callbacks, &input.Restart()) != 0;
    CheckDecodable(static_cast<uint32_t>(width), static_cast<uint32_t>(height), static_cast<uint32_t>(channels),
                   sixteenBit ? 2 : 1);
    input.Restart();
    void* pixels = sixteenBit ? static_cast<void*>(stbi_load_16_from_callbacks(&Callbacks, &input, &width, &height,
                                                                                &channels, 0))
                              : static_cast<void*>(stbi_load_from_callbacks(&Callbacks, &input, &width, &height,
                                                                             &channels, 0));
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        if (reason && std::strcmp(reason, "outofmem") == 0) {
            throw ImageLoadError("not enough memory to decode the " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixel picture");
        }
        throw ImageLoadError(input.reachedEnd && !complete ? EndsEarlyReason : Damaged);
    }
    const std::shared_ptr<const void> owner(pixels, StbFree());
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    const auto c = static_cast<uint32_t>(channels);
    if (sixteenBit) {
        return std::make_unique<MemoryImage>(w, h, c, static_cast<const uint16_t*>(pixels), owner);
    }
    return std::make_unique<MemoryImage>(w, h, c, static_cast<const uint8_t*>(pixels), owner);
}

} // namespace

std::unique_ptr<SourceImage> LoadSourceImage(FilePtr file)
{
    uint8_t magic[8] = {};
    const size_t got = std::fread(magic, 1, sizeof magic, file.get());
    if (std::ferror(file.get())) {
        throw ImageLoadError(UnreadableReason);
    }
    Rewind(file.get());
    if (got == 0) {
        throw ImageLoadError("the file is empty");
    }
    if (got >= 2 && magic[0] == 'P' && (magic[1] == '5' || magic[1] == '6')) {
        return PnmImage::Open(std::move(file));
    }
    if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') {
        if (std::unique_ptr<BmpImage> bmp = BmpImage::Open(file)) {
            return bmp;
        }
        return Decode(std::move(file), false);
    }
    static const uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got == sizeof magic && std::memcmp(magic, pngSignature, sizeof magic) == 0) {
        CheckPngChunks(file.get());
        return Decode(std::move(file), true);
    }
    if (got >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) {
        return Decode(std::move(file), false);
    }
    throw ImageLoadError("the file is not a PNG, JPEG, BMP or binary PGM or PPM picture");
}

} // namespace vlscan
