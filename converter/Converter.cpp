#include "converter/Converter.h"

#include "converter/BmpRowReader.h"
#include "converter/ConverterStatus.h"
#include "converter/Destination.h"
#include "converter/ExifSegment.h"
#include "converter/JpegFileEncoder.h"
#include "converter/ReplacingFile.h"
#include "converter/Resolution.h"

#include <algorithm>
#include <cstring>

namespace vkexf {

namespace {

std::string LocalDateTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ExifDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

std::string BoundedText(const char* text, size_t limit)
{
    return text ? std::string(text, strnlen(text, limit)) : std::string();
}

} // namespace

void ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                        int32_t quality)
{
    const auto destination = ReadDestination(static_cast<const JobDestination*>(jobRecord));
    if (!destination || !spoolPath || !*spoolPath)
        throw ConverterError(StatusBadArguments);

    BmpRowReader reader(spoolPath);
    const BmpLayout& layout = reader.layout();

    ExifFields exif;
    exif.make = destination->make;
    exif.model = destination->model;
    exif.software = BoundedText(versionText, kMaxSoftwareText);
    exif.dateTime = LocalDateTime();
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
    settings.exifSegment = BuildExifSegment(exif);

    ReplacingFile output(destination->path);
    {
        JpegFileEncoder encoder(output.handle());
        encoder.Start(settings);
        uint8_t** rows = nullptr;
        while (const unsigned count = reader.NextBand(rows))
            encoder.WriteRows(rows, count);
        encoder.Finish();
    }
    output.Commit();
}

} // namespace vkexf
