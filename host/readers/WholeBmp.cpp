#include "host/readers/WholeBmp.h"

#include "host/picture/FileOffsets.h"
#include "host/picture/MemoryImage.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#include <stb_image.h>

#include <cstring>
#include <string>

namespace vlscan {

namespace {

constexpr char Damaged[] = "the picture data is damaged";

// The decoder reads through these, which note whether it asked for bytes
// past the end: it would make up zeros for them. A stop asked for ends the
// input, so the decoder soon returns.
struct DecoderInput {
    std::FILE* file;
    const StopCheck& stop;
    bool pastEnd = false;
    bool stopped = false;

    static int Read(void* user, char* data, int size)
    {
        auto& input = *static_cast<DecoderInput*>(user);
        input.stopped = input.stopped || input.stop();
        if (input.stopped) {
            return 0;
        }
        const size_t read = std::fread(data, 1, static_cast<size_t>(size), input.file);
        input.pastEnd = input.pastEnd || read == 0;
        return static_cast<int>(read);
    }
    static void Skip(void* user, int bytes)
    {
        auto& input = *static_cast<DecoderInput*>(user);
        if (std::fseek(input.file, bytes, SEEK_CUR) != 0) {
            input.pastEnd = true;
        }
    }
    static int AtEnd(void* user)
    {
        auto& input = *static_cast<DecoderInput*>(user);
        return input.stopped || std::feof(input.file) || std::ferror(input.file);
    }

    // Back to the start for the decoder's next look.
    DecoderInput& Restart()
    {
        if (!SeekTo(file, 0)) {
            throw ImageLoadError(UnreadableReason);
        }
        pastEnd = false;
        return *this;
    }

    // The reason for a failed decode.
    [[noreturn]] void Fail() const
    {
        if (stopped) {
            throw ReadInterrupted();
        }
        throw ImageLoadError(pastEnd ? EndsEarlyReason : Damaged);
    }
};

constexpr stbi_io_callbacks Callbacks = {DecoderInput::Read, DecoderInput::Skip, DecoderInput::AtEnd};

struct StbFree {
    void operator()(const void* pixels) const { stbi_image_free(const_cast<void*>(pixels)); }
};

} // namespace

std::unique_ptr<SourceImage> DecodeWholeBmp(FilePtr file, const StopCheck& stop)
{
    DecoderInput input{file.get(), stop};
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_callbacks(&Callbacks, &input.Restart(), &width, &height, &channels)) {
        input.Fail();
    }
    CheckDecodable(static_cast<uint32_t>(width), static_cast<uint32_t>(height), static_cast<uint32_t>(channels), 1);
    input.Restart();
    stbi_uc* pixels = stbi_load_from_callbacks(&Callbacks, &input, &width, &height, &channels, 0);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        if (reason && std::strcmp(reason, "outofmem") == 0) {
            throw ImageLoadError("not enough memory to decode the " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixel picture");
        }
        input.Fail();
    }
    const std::shared_ptr<const void> owner(pixels, StbFree());
    if (input.stopped || input.pastEnd) {
        input.Fail();
    }
    return std::make_unique<MemoryImage>(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                         static_cast<uint32_t>(channels), pixels, owner);
}

} // namespace vlscan
