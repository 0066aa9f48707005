// Reads a 24-bit BMP spool file a band of rows at a time, top line first
// whichever way up the file stores them, so memory stays the same for any
// image size.
#pragma once

#include "converter/BmpHeader.h"
#include "converter/ConverterStatus.h"
#include "converter/FileHandle.h"
#include "converter/HeapBuffer.h"

#include <cstdint>

namespace vkexf {

class BmpRowReader {
public:
    // Opens the file read-only, checks its headers and sets aside a band.
    Status Open(const char* path);

    const BmpLayout& layout() const { return layout_; }

    // Reads the next rows, at most one band; `rows` then points at each row's
    // BGR pixels, top line first, and `count` says how many (0 past the last
    // row).
    Status NextBand(uint8_t**& rows, unsigned& count);

private:
    Status ReadAt(uint64_t offset, uint8_t* buffer, DWORD bytes);

    const char* path_ = nullptr;
    FileHandle file_;
    BmpLayout layout_;
    uint32_t nextRow_ = 0; // counted from the top
    uint32_t bandRows_ = 0;
    HeapBuffer band_;
    HeapBuffer rowPointers_;
};

} // namespace vkexf
