// PNG files through libspng, every chunk's CRC checked: the lines are
// decoded one at a time as they are asked for, so a page never holds the
// decoded picture, except in interlaced files, whose lines arrive in seven
// passes and are decoded whole first. Samples keep their 8 or 16 bits,
// palette colours are looked up, and alpha and transparency are laid on
// white paper. Platform-free.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/SourceImage.h"

#include <memory>
#include <vector>

struct spng_ctx;

namespace vlscan {

class PngImage final : public SourceImage {
public:
    // `file` is at its start. Throws ImageLoadError with the reason, and
    // ReadInterrupted when `stop` asks during a whole decode.
    static std::unique_ptr<PngImage> Open(FilePtr file, const StopCheck& stop);

    SourceRow Row(uint32_t y) override;

private:
    struct ContextFree {
        void operator()(spng_ctx* context) const;
    };
    using ContextPtr = std::unique_ptr<spng_ctx, ContextFree>;

    PngImage(FilePtr file, ContextPtr context, uint32_t width, uint32_t height, uint32_t channels, bool wide,
             bool interlaced);

    void DecodeWhole(const StopCheck& stop);
    // Decodes the next line into `at`; after the last one, checks the chunks
    // that follow up to the end.
    void DecodeLine(void* at);

    FilePtr file; // read by the context, so it outlives it
    ContextPtr context;
    uint32_t channels;
    bool interlaced;
    size_t lineSamples;
    // One line, or the whole picture when interlaced; 16-bit files use `wide`.
    std::vector<uint8_t> narrow;
    std::vector<uint16_t> wide;
    uint32_t nextRow = 0; // the line the decoder gives next
    std::vector<uint8_t> narrowOnPaper;
    std::vector<uint16_t> wideOnPaper;
};

} // namespace vlscan
