#include "converter/jpeg/ExifRoom.h"

#include "converter/base/HeapBuffer.h"
#include "converter/base/LastFailure.h"
#include "converter/base/StripPlan.h"
#include "converter/files/WholeRuns.h"
#include "converter/jpeg/JpegStripEncoder.h"
#include "converter/survey/ThumbnailScaler.h"

#include <algorithm>
#include <cstring>

namespace vkexf {

namespace {

// Room is left only on a page expected to compress to this many times that
// room: its unused part, a few kilobytes, is then lost in the file's size,
// and on a smaller page moving it up costs little.
constexpr uint64_t RoomShare = 64;

// The compressed page moves up for a segment larger than its room in runs
// of this size.
constexpr size_t MoveBytes = 1u << 20;

// What the JPEG of a thumbnail of `pixels` pixels at `quality` takes at
// most, for anything but noise: headers and fitted tables, then half again
// what a photograph's thumbnail took a pixel at 160 x 120: a third of a byte
// at 89 with 4:2:0, nearly one at 95 with 4:4:4, nearly two at 100.
size_t ThumbnailJpegBound(uint32_t pixels, int quality)
{
    constexpr size_t Headers = 1024;
    const size_t eighths = quality < FullChromaQuality ? 4 : quality < 98 ? 12 : 24;
    return Headers + size_t{pixels} * eighths / 8;
}

} // namespace

size_t ExifRoomWanted(const ExifFields& fields, int quality)
{
    const ThumbnailSize thumbnail = ThumbnailSizeFor(fields.width, fields.height);
    const size_t thumbnailRoom = ExifThumbnailRoom(fields);
    return 4 + MaxExifSegmentBytes - thumbnailRoom +
        std::min(thumbnailRoom, ThumbnailJpegBound(thumbnail.width * thumbnail.height, quality));
}

void ExifRoom::Decide(size_t wanted, uint64_t expectedBytes)
{
    room = expectedBytes >= RoomShare * wanted ? wanted : 0;
}

Status ExifRoom::LeaveIn(JpegStripEncoder& encoder)
{
    // libjpeg writes the JFIF segment right behind the start of image.
    const uint8_t* jpeg = encoder.Bytes();
    at = jpeg[3] == JPEG_APP0 ? 4 + (size_t{jpeg[4]} << 8 | jpeg[5]) : 2;
    return encoder.InsertZeros(at, room);
}

Status ExifRoom::Insert(const uint8_t* payload, size_t size, HANDLE output, uint64_t fileEnd,
                        const char* outputPath) const
{
    // The segment fills its room, and takes as much more as it needs.
    const size_t segmentBytes = std::max(4 + size, room);
    const size_t shift = segmentBytes - room;
    const uint64_t bodyAt = at + room;
    HeapBuffer buffer;
    const auto bufferBytes = static_cast<size_t>(
        std::max<uint64_t>(shift ? std::min<uint64_t>(fileEnd - bodyAt, MoveBytes) : 0, segmentBytes));
    if (!buffer.Allocate(bufferBytes)) {
        return FailWithError(StatusNoMemory, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
    }
    // From the end down, so that no run overwrites one still to be moved.
    for (uint64_t end = fileEnd; shift && end > bodyAt;) {
        const auto count = static_cast<size_t>(std::min<uint64_t>(end - bodyAt, bufferBytes));
        const uint64_t start = end - count;
        if (const DWORD error = ReadRunAt(output, start, buffer.Address(), count)) {
            return FailWithError(StatusWriteFailed, CannotWrite, outputPath, error);
        }
        if (const DWORD error = WriteRunAt(output, start + shift, buffer.Address(), count)) {
            return FailWithError(WriteStatus(error), CannotWrite, outputPath, error);
        }
        end = start;
    }
    uint8_t* const segment = buffer.Address();
    const size_t length = segmentBytes - 2; // counts itself
    segment[0] = 0xFF;
    segment[1] = JPEG_APP0 + 1;
    segment[2] = static_cast<uint8_t>(length >> 8);
    segment[3] = static_cast<uint8_t>(length);
    std::memcpy(segment + 4, payload, size);
    // Readers follow the TIFF offsets, so the zeros behind are never read.
    std::memset(segment + 4 + size, 0, segmentBytes - 4 - size);
    if (const DWORD error = WriteRunAt(output, at, segment, segmentBytes)) {
        return FailWithError(WriteStatus(error), CannotWrite, outputPath, error);
    }
    return StatusOk;
}

} // namespace vkexf
