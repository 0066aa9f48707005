// The Exif segment's place in the page's JPEG, decided here and nowhere
// else. The segment holds the thumbnail, and so needs the whole page: it
// goes in last, behind the JFIF segment that libjpeg writes right behind
// the start of image. When the page is large, room is left for it there,
// ahead of the first strip, as much as the segment takes with as large a
// thumbnail as any page but noise gives; the segment fills it, its unused
// part with zeros. A smaller page, or a segment larger than its room, moves
// the compressed page up as far as it needs.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "converter/exif/ExifSegment.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vkexf {

class JpegStripEncoder;

// The room worth leaving for the segment `fields` describe, marker and
// length included, for a page written at `quality`: at most 4 + 65533
// bytes.
size_t ExifRoomWanted(const ExifFields& fields, int quality);

class ExifRoom {
public:
    // Leaves the room `wanted` only on a page expected to compress to
    // `expectedBytes` that is large enough for it; none otherwise.
    void Decide(size_t wanted, uint64_t expectedBytes);

    // Finds the segment's place in the page's first strip, just compressed
    // by `encoder`, and leaves the room decided there.
    Status LeaveIn(JpegStripEncoder& encoder);

    // Puts the APP1 segment holding `payload` (at most 65533 bytes) into
    // `output`, the page's file of `fileEnd` bytes: into the room left for
    // it, or moving the page up as far as the room falls short. On failure
    // the reason is recorded for VkExf_LastError, naming `outputPath`.
    Status Insert(const uint8_t* payload, size_t size, HANDLE output, uint64_t fileEnd, const char* outputPath) const;

private:
    size_t room = 0;
    size_t at = 0; // behind the JFIF segment
};

} // namespace vkexf
