// A picture decoded whole into memory: 1 to 4 interleaved channels (grey,
// grey and alpha, RGB, RGBA) of 8 or 16 bits. Lines with alpha are laid on
// white paper as they are read, so the decoded buffer is never copied.
// Platform-free.
#pragma once

#include "host/picture/SourceImage.h"

#include <memory>
#include <vector>

namespace vlscan {

class MemoryImage final : public SourceImage {
public:
    // `samples` stay valid as long as `owner` does; the image keeps `owner`.
    MemoryImage(uint32_t width, uint32_t height, uint32_t channels, const uint8_t* samples,
                std::shared_ptr<const void> owner);
    MemoryImage(uint32_t width, uint32_t height, uint32_t channels, const uint16_t* samples,
                std::shared_ptr<const void> owner);

    SourceRow Row(uint32_t y) override;

private:
    uint32_t channels;
    std::shared_ptr<const void> owner;
    const uint8_t* narrow = nullptr;
    const uint16_t* wide = nullptr;
    std::vector<uint8_t> narrowOnPaper;
    std::vector<uint16_t> wideOnPaper;
};

} // namespace vlscan
