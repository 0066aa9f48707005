// Binary PGM and PPM files (P5, P6) of 8 or 16 bits, read a line at a time
// straight from the file, so a page never holds the decoded picture. Samples
// of a smaller range than the depth are scaled to its full range.
// Platform-free.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/SourceImage.h"

#include <memory>
#include <vector>

namespace vlscan {

class PnmImage final : public SourceImage {
public:
    // `file` is at its start and holds a P5 or P6 header. Throws
    // ImageLoadError for a damaged header or a file shorter than its picture.
    static std::unique_ptr<PnmImage> Open(FilePtr file);

    SourceRow Row(uint32_t y) override;

private:
    PnmImage(FilePtr file, uint32_t width, uint32_t height, uint32_t channels, uint32_t maxValue, uint64_t dataOffset);

    FilePtr file;
    uint32_t channels;
    uint32_t maxValue;
    uint64_t dataOffset;
    uint32_t nextRow = 0; // the line the file is positioned at
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> narrow;
    std::vector<uint16_t> wide;
};

} // namespace vlscan
