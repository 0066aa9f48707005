#include "converter/ExifSegment.h"

#include "converter/TiffIfd.h"

#include <cstdio>
#include <initializer_list>

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

void AddTextIfAny(TiffIfd& ifd, uint16_t tag, const std::string& text)
{
    if (!text.empty())
        ifd.AddAscii(tag, text);
}

} // namespace

std::vector<uint8_t> BuildExifSegment(const ExifFields& fields)
{
    TiffIfd exif;
    exif.AddUndefined(TagExifVersion, "0232");
    exif.AddAscii(TagDateTimeOriginal, fields.dateTime);
    exif.AddAscii(TagDateTimeDigitized, fields.dateTime);
    exif.AddUndefined(TagComponentsConfiguration, std::string("\1\2\3\0", 4));
    exif.AddUndefined(TagFlashpixVersion, "0100");
    exif.AddShort(TagColorSpace, kSrgb);
    exif.AddLong(TagPixelXDimension, fields.width);
    exif.AddLong(TagPixelYDimension, fields.height);

    TiffIfd ifd0;
    AddTextIfAny(ifd0, TagMake, fields.make);
    AddTextIfAny(ifd0, TagModel, fields.model);
    ifd0.AddShort(TagOrientation, kOrientationTopLeft);
    ifd0.AddRational(TagXResolution, fields.xDpi, 1);
    ifd0.AddRational(TagYResolution, fields.yDpi, 1);
    ifd0.AddShort(TagResolutionUnit, kUnitInches);
    AddTextIfAny(ifd0, TagSoftware, fields.software.substr(0, kMaxSoftwareText));
    ifd0.AddAscii(TagDateTime, fields.dateTime);
    ifd0.AddShort(TagYCbCrPositioning, kCentredChroma);
    // The pointer's own entry is inline, so its value does not change the size.
    ifd0.AddLong(TagExifIfd, 0);
    ifd0.AddLong(TagExifIfd, static_cast<uint32_t>(kTiffHeaderBytes + ifd0.Size()));

    std::vector<uint8_t> segment = {'E', 'x', 'i', 'f', 0, 0};
    const size_t tiffStart = segment.size();
    for (uint8_t byte : std::initializer_list<uint8_t>{'I', 'I', 42, 0, kTiffHeaderBytes, 0, 0, 0})
        segment.push_back(byte);
    ifd0.AppendTo(segment, tiffStart);
    exif.AppendTo(segment, tiffStart);
    return segment;
}

std::string ExifDateTime(int year, int month, int day, int hour, int minute, int second)
{
    char text[80];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return text;
}

} // namespace vkexf
