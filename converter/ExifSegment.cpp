#include "converter/ExifSegment.h"

#include "converter/TiffIfd.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vkexf {

namespace {

enum Tag : uint16_t {
    TagMake = 0x010F,
    TagModel = 0x0110,
    TagOrientation = 0x0112,
    TagXResolution = 0x011A,
    TagYResolution = 0x011B,
    TagResolutionUnit = 0x0128,
    TagSoftware = 0x0131,
    TagDateTime = 0x0132,
    TagYCbCrPositioning = 0x0213,
    TagExifIfd = 0x8769,
    TagExifVersion = 0x9000,
    TagDateTimeOriginal = 0x9003,
    TagDateTimeDigitized = 0x9004,
    TagComponentsConfiguration = 0x9101,
    TagFlashpixVersion = 0xA000,
    TagColorSpace = 0xA001,
    TagPixelXDimension = 0xA002,
    TagPixelYDimension = 0xA003,
};

constexpr uint16_t kOrientationTopLeft = 1;
constexpr uint16_t kUnitInches = 2;
constexpr uint16_t kCentredChroma = 1;
constexpr uint16_t kSrgb = 1;
constexpr size_t kTiffHeaderBytes = 8;

void AddTextIfAny(TiffIfd& ifd, uint16_t tag, const char* text, size_t limit)
{
    if (text && *text)
        ifd.AddAscii(tag, text, strnlen(text, limit));
}

int Clamped(int value, int most) { return std::clamp(value, 0, most); }

} // namespace

bool BuildExifSegment(const ExifFields& fields, ExifSegment& segment)
{
    const size_t dateLength = strnlen(fields.dateTime, sizeof fields.dateTime - 1);
    TiffIfd exif;
    exif.AddUndefined(TagExifVersion, "0232", 4);
    exif.AddAscii(TagDateTimeOriginal, fields.dateTime, dateLength);
    exif.AddAscii(TagDateTimeDigitized, fields.dateTime, dateLength);
    exif.AddUndefined(TagComponentsConfiguration, "\1\2\3\0", 4);
    exif.AddUndefined(TagFlashpixVersion, "0100", 4);
    exif.AddShort(TagColorSpace, kSrgb);
    exif.AddLong(TagPixelXDimension, fields.width);
    exif.AddLong(TagPixelYDimension, fields.height);

    TiffIfd ifd0;
    AddTextIfAny(ifd0, TagMake, fields.make, kMaxScannerText);
    AddTextIfAny(ifd0, TagModel, fields.model, kMaxScannerText);
    ifd0.AddShort(TagOrientation, kOrientationTopLeft);
    ifd0.AddRational(TagXResolution, fields.xDpi, 1);
    ifd0.AddRational(TagYResolution, fields.yDpi, 1);
    ifd0.AddShort(TagResolutionUnit, kUnitInches);
    AddTextIfAny(ifd0, TagSoftware, fields.software, kMaxSoftwareText);
    ifd0.AddAscii(TagDateTime, fields.dateTime, dateLength);
    ifd0.AddShort(TagYCbCrPositioning, kCentredChroma);
    // The pointer's own entry is inline, so its value does not change the size.
    ifd0.AddLong(TagExifIfd, 0);
    ifd0.AddLong(TagExifIfd, static_cast<uint32_t>(kTiffHeaderBytes + ifd0.Size()));

    ByteWriter out(segment.bytes, sizeof segment.bytes);
    out.Bytes("Exif\0\0", 6);
    const size_t tiffStart = out.size();
    out.Bytes("II\x2A\0", 4);
    out.U32(kTiffHeaderBytes);
    ifd0.AppendTo(out, tiffStart);
    exif.AppendTo(out, tiffStart);
    const bool whole = ifd0.complete() && exif.complete() && !out.overflowed();
    segment.size = whole ? out.size() : 0;
    return whole;
}

void ExifDateTime(int year, int month, int day, int hour, int minute, int second,
                  char (&text)[kExifDateTimeBytes])
{
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", Clamped(year, 9999),
                  Clamped(month, 99), Clamped(day, 99), Clamped(hour, 99), Clamped(minute, 99),
                  Clamped(second, 99));
}

} // namespace vkexf
