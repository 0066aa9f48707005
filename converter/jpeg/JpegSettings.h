// What a page is written with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

// How a page is judged grey, to be written as its luma (see
// VkExfColourMode): by the tolerant test (see ChromaBlocks.h), only when
// every pixel is grey, or never.
enum class ColourRule { Tolerant, Exact, AlwaysColour };

struct JpegSettings {
    uint32_t width = 0;
    uint32_t height = 0;
    int quality = 75;   // also picks the chroma sampling (see FullChromaQuality)
    uint32_t xDpi = 72; // also written to the JFIF header,
    uint32_t yDpi = 72; // in dots per inch
    // The room worth leaving for the Exif segment (see ExifRoom.h), none
    // by default.
    size_t exifRoom = 0;
    ColourRule colourRule = ColourRule::Tolerant;
};

} // namespace vkexf
