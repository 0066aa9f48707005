// Compresses a whole page into a JPEG file on every processor the process
// may use, reading the page once: the page is cut into strips of whole MCU
// rows (see StripPlan.h), each worker takes the next strip from the top,
// reads it, adds it to its thumbnail sums, compresses it with its own
// compress object, and hands it to the strip writer, which puts the strips
// in the file in order (see StripWriter.h). The file is byte for byte what
// one compress object with the same restart interval would write, however
// many workers ran.
//
// Before the strips, the same workers read the page's sample (see
// PageSample.h): it settles whether the page is grey, by the settings'
// rule, and fits the Huffman tables. A page whose sample is grey is written
// grey, each strip tested on the way; should colour turn up after all
// (a colour pixel, or by the tolerant rule enough colour blocks), the workers stop and
// the page is written again in colour (the one case read twice). The Exif
// segment needs the thumbnail and so the whole page: it goes in last (see
// ExifRoom.h).
#pragma once

#include "converter/base/ConverterStatus.h"
#include "converter/base/HeapBuffer.h"
#include "converter/files/BmpRowReader.h"
#include "converter/jpeg/ExifRoom.h"
#include "converter/jpeg/JpegSettings.h"
#include "converter/survey/ThumbnailScaler.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vkexf {

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
    bool ColourFoundLate() const { return colourFoundLate; }

    // Once the page is written: a grey page went out with one component.
    bool Grey() const { return !colour; }
    ThumbnailSize ThumbnailDimensions() const { return thumbnailSize; }
    // BGR, top row first, 3 * ThumbnailDimensions().width bytes a row.
    const uint8_t* Thumbnail() const { return thumbnail.Address(); }

    // Puts the APP1 segment holding `payload` (at most 65533 bytes) into the
    // file Encode wrote (see ExifRoom::Insert).
    Status InsertSegment(const uint8_t* payload, size_t size, HANDLE output, const char* outputPath)
    {
        return exifRoom.Insert(payload, size, output, fileEnd, outputPath);
    }

private:
    const BmpRowReader& reader;
    size_t stripBytes;
    bool colour = false; // known once a colour pixel was met
    bool colourFoundLate = false;
    ThumbnailSize thumbnailSize;
    HeapBuffer thumbnail;
    HeapBuffer sampleBlocks; // by the tolerant rule
    ExifRoom exifRoom;
    uint64_t fileEnd = 0;
};

} // namespace vkexf
