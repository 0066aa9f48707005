// Compresses a whole page into a JPEG file on every processor the process
// may use, reading the page once: the page is cut into strips of whole MCU
// rows (see StripPlan.h), each worker takes the next strip from the top,
// reads it, adds it to its thumbnail sums, compresses it with its own
// compress object, and appends it to the file when the strips above it are
// there. The file is byte for byte what one compress object with the same
// restart interval would write, however many workers ran.
//
// Before the strips, the same workers test a sample of the page for colour
// (one colour pixel in it settles that) and compress it, in the page's mode,
// to fit the Huffman tables. A page whose sample is grey is written grey,
// each strip tested on the way; should a colour pixel turn up after all, the
// page is written again in colour (the one case read twice). The Exif
// segment needs the thumbnail and so the whole page: it goes in last, into
// room left for it ahead of the first strip when the page is large enough
// that moving it up would cost more.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "converter/base/HeapBuffer.h"
#include "converter/base/StripPlan.h"
#include "converter/files/BmpRowReader.h"
#include "converter/survey/ThumbnailScaler.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vkexf {

struct JpegSettings {
    uint32_t width = 0;
    uint32_t height = 0;
    int quality = 75;   // also picks the chroma sampling (see FullChromaQuality)
    uint32_t xDpi = 72; // also written to the JFIF header,
    uint32_t yDpi = 72; // in dots per inch
    // The Exif segment expected, marker and length included: the room
    // left for it when the page is large (at most 4 + 65533 bytes).
    size_t exifRoom = 0;
};

class JpegFileEncoder {
public:
    // Strips of about `stripBytes` of pixels, 0 for the plan's own choice
    // (see StripPlan.h).
    JpegFileEncoder(const BmpRowReader& reader, size_t stripBytes = 0) : reader(reader), stripBytes(stripBytes) {}

    // Writes the page but its Exif segment to `output`, a new file opened
    // for reading and writing (owned by the caller, named `outputPath` in
    // the failure text). On failure the reason is recorded for
    // VkExf_LastError and every worker has ended. Success with
    // ColourFoundLate() leaves an unfinished file: encode again, into a new
    // one.
    Status Encode(const JpegSettings& settings, HANDLE output, const char* outputPath);
    // The page's sample was grey but the page is not.
    bool ColourFoundLate() const { return late; }

    // Once the page is written: a grey page went out with one component.
    bool Grey() const { return !colour; }
    ThumbnailSize ThumbnailDimensions() const { return thumbnailSize; }
    // BGR, top row first, 3 * ThumbnailDimensions().width bytes a row.
    const uint8_t* Thumbnail() const { return thumbnail.Address(); }

    // Puts the APP1 segment holding `payload` (at most 65533 bytes) into the
    // file Encode wrote, behind its JFIF segment: into the room left for it,
    // the rest of which it fills with zeros, or moving the page up as far
    // as the room falls short.
    Status InsertSegment(const uint8_t* payload, size_t size, HANDLE output, const char* outputPath);

private:
    const BmpRowReader& reader;
    size_t stripBytes;
    bool colour = false; // known once a colour pixel was met
    bool late = false;
    ThumbnailSize thumbnailSize;
    HeapBuffer thumbnail;
    uint64_t segmentAt = 0; // where the Exif segment goes
    size_t room = 0;        // left there for it
    uint64_t fileEnd = 0;
};

} // namespace vkexf
