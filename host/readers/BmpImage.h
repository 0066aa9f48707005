// Uncompressed BMP files of 1, 4, 8 and 24 bits, read a line at a time
// straight from the file in either line order, so a page never holds the
// decoded picture. Lines come out as 8-bit RGB. Platform-free.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/Palettes.h"
#include "host/picture/SourceImage.h"

#include <memory>
#include <vector>

namespace vlscan {

class BmpImage final : public SourceImage {
public:
    // `file` is at its start. Hands the file back, still at its start, in
    // `file` and answers null for a BMP kind this reader leaves to the
    // decoder (compressed, bit fields, other depths, OS/2 headers). Throws
    // ImageLoadError for a file shorter than its picture.
    static std::unique_ptr<BmpImage> Open(FilePtr& file);

    SourceRow Row(uint32_t y) override;

private:
    BmpImage(FilePtr file, uint32_t width, uint32_t height, bool topDown, uint32_t bitsPerPixel, Palette palette,
             uint64_t dataOffset);

    FilePtr file;
    bool topDown;
    uint32_t bitsPerPixel;
    Palette palette;
    uint64_t dataOffset;
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> rgb;
};

} // namespace vlscan
