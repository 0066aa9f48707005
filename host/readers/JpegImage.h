// JPEG files through libjpeg-turbo: the lines are decoded one at a time as
// they are asked for, so a page never holds the decoded picture; a
// progressive file's scans are read whole first, as coefficients. Grey files
// stay grey, CMYK becomes RGB, everything else comes out as RGB. A file that
// ends early is refused, never padded. Platform-free.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/SourceImage.h"

#include <memory>
#include <vector>

namespace vlscan {

class JpegImage final : public SourceImage {
public:
    // `file` is at its start. Throws ImageLoadError with the reason, and
    // ReadInterrupted when `stop` asks while a progressive file's scans are
    // read.
    static std::unique_ptr<JpegImage> Open(FilePtr file, const StopCheck& stop);

    ~JpegImage() override;

    SourceRow Row(uint32_t y) override;

    struct Decoder; // libjpeg's state, kept out of this header

private:
    JpegImage(std::unique_ptr<Decoder> decoder, uint32_t width, uint32_t height, uint32_t channels);

    std::unique_ptr<Decoder> decoder;
    uint32_t channels;    // as decoded: 1 grey, 3 RGB, 4 CMYK
    uint32_t nextRow = 0; // the line libjpeg gives next
    std::vector<uint8_t> line;
    std::vector<uint8_t> rgb; // a CMYK line made RGB
};

} // namespace vlscan
