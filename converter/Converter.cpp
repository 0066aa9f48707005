#include "converter/Converter.h"

#include "converter/base/HeapBuffer.h"
#include "converter/base/LastFailure.h"
#include "converter/exif/ExifSegment.h"
#include "converter/exif/Resolution.h"
#include "converter/files/BmpRowReader.h"
#include "converter/files/Destination.h"
#include "converter/files/ReplacingFile.h"
#include "converter/jpeg/ExifRoom.h"
#include "converter/jpeg/JpegFileEncoder.h"
#include "converter/jpeg/ThumbnailJpeg.h"
#include "win32/AnsiCodePage.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace vkexf {

namespace {

// The Exif segment with the page's thumbnail, in `buffer`: too large for
// the stack of a host's thread.
Status BuildSegment(const ExifFields& exif, const JpegFileEncoder& page, int quality, const char* path,
                    HeapBuffer& buffer, ExifSegment& segment)
{
    // The segment, then the thumbnail's JPEG before it goes in.
    if (!buffer.Allocate(2 * MaxExifSegmentBytes)) {
        return FailWithError(StatusNoMemory, CannotWrite, path, ERROR_NOT_ENOUGH_MEMORY);
    }
    uint8_t* const jpeg = buffer.Address() + MaxExifSegmentBytes;
    ExifThumbnail thumbnail;
    thumbnail.jpeg = jpeg;
    thumbnail.width = page.ThumbnailDimensions().width;
    thumbnail.height = page.ThumbnailDimensions().height;
    const ThumbnailPixels pixels{page.Thumbnail(), thumbnail.width, thumbnail.height, exif.grey};
    if (const Status status = EncodeThumbnail(pixels, quality, jpeg, ExifThumbnailRoom(exif), thumbnail.size)) {
        if (status == StatusNoMemory) {
            return FailWithError(status, CannotWrite, path, ERROR_NOT_ENOUGH_MEMORY);
        }
        return Fail(status, CannotWrite, path, "the thumbnail's JPEG encoder failed");
    }
    segment.bytes = buffer.Address();
    if (!BuildExifSegment(exif, thumbnail, segment)) {
        return Fail(StatusWriteFailed, CannotWrite, path, "the EXIF data does not fit");
    }
    return StatusOk;
}

ColourRule RuleOf(VkExfColourMode mode)
{
    switch (mode) {
    case VkExfColourExact:
        return ColourRule::Exact;
    case VkExfColourAlways:
        return ColourRule::AlwaysColour;
    default:
        // Auto, and what a later caller may mean that this converter does not know.
        return ColourRule::Tolerant;
    }
}

} // namespace

Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                          const VkExfOptions* options)
{
    // The fields up to the colour mode are the least a caller may know.
    constexpr uint32_t LeastSize = offsetof(VkExfOptions, colourMode) + sizeof(VkExfOptions::colourMode);
    if (!options || options->size < LeastSize) {
        return Fail(StatusBadArguments, "cannot convert", nullptr, "the conversion's options are missing");
    }
    return ConvertSpoolToJpeg(versionText, jobRecord, spoolPath, options->quality,
                              static_cast<VkExfColourMode>(options->colourMode));
}

Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath, int32_t quality,
                          VkExfColourMode colourMode)
{
    Destination destination;
    if (!ReadDestination(static_cast<const JobDestination*>(jobRecord), destination)) {
        return Fail(StatusBadArguments, "cannot convert", nullptr, "the job names no output file");
    }
    if (!spoolPath || !*spoolPath) {
        return Fail(StatusBadArguments, "cannot convert", nullptr, "no spool file was given");
    }

    // What this conversion may wait, in all, for files other programs hold.
    vlexif::HeldFileWaits waits;
    BmpRowReader reader;
    if (const Status status = reader.Open(spoolPath, waits)) {
        return status;
    }
    const BmpLayout& layout = reader.Layout();

    ExifFields exif;
    exif.make = destination.make;
    exif.model = destination.model;
    exif.software = versionText;
    exif.leadBytes = vlexif::AnsiLeadBytes();
    SYSTEMTIME now;
    GetLocalTime(&now);
    ExifDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, exif.dateTime);
    exif.xDpi = DotsPerInch(layout.xPixelsPerMetre);
    exif.yDpi = DotsPerInch(layout.yPixelsPerMetre);
    exif.width = layout.width;
    exif.height = layout.height;

    JpegSettings settings;
    settings.width = layout.width;
    settings.height = layout.height;
    settings.quality = std::clamp(quality, 1, 100);
    settings.xDpi = exif.xDpi;
    settings.yDpi = exif.yDpi;
    settings.exifRoom = ExifRoomWanted(exif, settings.quality);
    settings.colourRule = RuleOf(colourMode);

    // A page taken for grey that is not goes again, in colour, into a new
    // file: the old one goes with its handle.
    JpegFileEncoder page(reader);
    std::optional<ReplacingFile> output;
    do {
        output.emplace();
        if (const Status status = output->Create(destination.path, waits)) {
            return status;
        }
        if (const Status status = page.Encode(settings, output->Handle(), destination.path)) {
            return status;
        }
    } while (page.ColourFoundLate());

    exif.grey = page.Grey();
    HeapBuffer segmentBuffer;
    ExifSegment segment;
    if (const Status status = BuildSegment(exif, page, settings.quality, destination.path, segmentBuffer, segment)) {
        return status;
    }
    if (const Status status = page.InsertSegment(segment.bytes, segment.size, output->Handle(), destination.path)) {
        return status;
    }
    return output->Commit();
}

} // namespace vkexf
