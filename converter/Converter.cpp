#include "converter/Converter.h"

#include "converter/BmpRowReader.h"
#include "converter/Destination.h"
#include "converter/ExifSegment.h"
#include "converter/JpegFileEncoder.h"
#include "converter/LastFailure.h"
#include "converter/ReplacingFile.h"
#include "converter/Resolution.h"

#include <algorithm>

namespace vkexf {

Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                          int32_t quality)
{
    return ConvertSpoolToJpeg(versionText, jobRecord, spoolPath, quality, SystemCalls());
}

Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                          int32_t quality, const ConverterCalls& calls)
{
    Destination destination;
    if (!ReadDestination(static_cast<const JobDestination*>(jobRecord), destination))
        return Fail(StatusBadArguments, "cannot convert", nullptr, "the job names no output file");
    if (!spoolPath || !*spoolPath)
        return Fail(StatusBadArguments, "cannot convert", nullptr, "no spool file was given");

    BmpRowReader reader;
    if (const Status status = reader.Open(spoolPath))
        return status;
    const BmpLayout& layout = reader.layout();

    ExifFields exif;
    exif.make = destination.make;
    exif.model = destination.model;
    exif.software = versionText;
    SYSTEMTIME now;
    GetLocalTime(&now);
    ExifDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, exif.dateTime);
    exif.xDpi = DotsPerInch(layout.xPixelsPerMetre);
    exif.yDpi = DotsPerInch(layout.yPixelsPerMetre);
    exif.width = layout.width;
    exif.height = layout.height;
    ExifSegment segment;
    if (!BuildExifSegment(exif, segment))
        return Fail(StatusWriteFailed, kCannotWrite, destination.path, "the EXIF data does not fit");

    JpegSettings settings;
    settings.width = layout.width;
    settings.height = layout.height;
    settings.quality = std::clamp(quality, 1, 100);
    settings.xDpi = exif.xDpi;
    settings.yDpi = exif.yDpi;
    settings.exifSegment = segment.bytes;
    settings.exifSegmentSize = segment.size;

    ReplacingFile output;
    if (const Status status = output.Create(destination.path))
        return status;
    if (const Status status = JpegFileEncoder(reader, calls).Encode(settings, output.handle(), destination.path))
        return status;
    return output.Commit();
}

} // namespace vkexf
