// The first pass over a spool file, before any encoding: is the page grey,
// and its thumbnail. One run of large sequential reads over the pixels, in
// the order they are stored (the plug-in has just written them, so they
// come from the page cache); memory grows with the width only.
#pragma once

#include "converter/BmpHeader.h"
#include "converter/ConverterStatus.h"
#include "converter/HeapBuffer.h"
#include "converter/ThumbnailScaler.h"

#include <cstdint>

namespace vkexf {

class SpoolSurvey {
public:
    // Reads every row of the file at `path`, laid out as `layout` says. A
    // failure has recorded its reason and leaves no result.
    Status Run(const char* path, const BmpLayout& layout);

    // Every pixel has B = G = R.
    bool grey() const { return grey_; }
    ThumbnailSize thumbnailSize() const { return thumbnailSize_; }
    // BGR, top row first, 3 * thumbnailSize().width bytes a row.
    const uint8_t* thumbnail() const { return thumbnail_.data(); }

private:
    bool grey_ = false;
    ThumbnailSize thumbnailSize_;
    HeapBuffer thumbnail_;
};

} // namespace vkexf
