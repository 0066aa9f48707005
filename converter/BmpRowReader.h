// Reads a 24-bit BMP spool file a band of rows at a time, top line first
// whichever way up the file stores them, so memory stays the same for any
// image size.
#pragma once

#include "converter/BmpHeader.h"
#include "converter/FileHandle.h"

#include <cstdint>
#include <vector>

namespace vkexf {

class BmpRowReader {
public:
    // Opens the file read-only and checks its headers; throws ConverterError.
    explicit BmpRowReader(const char* path);

    const BmpLayout& layout() const { return layout_; }

    // Reads the next rows, at most one band; `rows` then points at each row's
    // BGR pixels, top line first. Returns how many, 0 past the last row.
    unsigned NextBand(uint8_t**& rows);

private:
    FileHandle file_;
    BmpLayout layout_;
    uint32_t nextRow_ = 0; // counted from the top
    uint32_t bandRows_ = 0;
    std::vector<uint8_t> band_;
    std::vector<uint8_t*> rowPointers_;
};

} // namespace vkexf
