// The thumbnail as a small baseline JPEG in a bounded buffer, for the Exif
// segment.
#pragma once

#include "converter/base/ConverterStatus.h"

#include <cstddef>
#include <cstdint>

namespace vkexf {

struct ThumbnailPixels {
    const uint8_t* bgr = nullptr; // top row first, 3 * width bytes a row
    uint32_t width = 0;
    uint32_t height = 0;
    bool grey = false; // written with one component
};

// Encodes at `quality`, with the page's chroma sampling for the quality
// each attempt uses, and at ever lower qualities while the JPEG would
// not fit in `capacity` bytes. `size` is 0 when not even the lowest fits:
// no thumbnail then, which is no failure. A failure is libjpeg's (memory).
Status EncodeThumbnail(const ThumbnailPixels& pixels, int quality, uint8_t* out, size_t capacity, size_t& size);

} // namespace vkexf
