#include "converter/exif/ExifSegment.h"

#include "converter/exif/TiffIfd.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

namespace vkexf {

namespace {

enum Tag : uint16_t {
    TagCompression = 0x0103,
    TagMake = 0x010F,
    TagModel = 0x0110,
    TagOrientation = 0x0112,
    TagXResolution = 0x011A,
    TagYResolution = 0x011B,
    TagResolutionUnit = 0x0128,
    TagSoftware = 0x0131,
    TagDateTime = 0x0132,
    TagJpegInterchangeFormat = 0x0201,
    TagJpegInterchangeFormatLength = 0x0202,
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

constexpr uint16_t OrientationTopLeft = 1;
constexpr uint16_t UnitInches = 2;
constexpr uint16_t CentredChroma = 1;
constexpr uint16_t Srgb = 1;
constexpr uint16_t JpegCompression = 6;
constexpr size_t ExifHeaderBytes = 6; // "Exif\0\0"
constexpr size_t TiffHeaderBytes = 8;

// Cut to whole characters: a double-byte one split at the limit, or at the
// end of a job record's full field, would end the tag in half a character.
void AddTextIfAny(TiffIfd& ifd, uint16_t tag, const char* text, size_t limit, const vlexif::LeadBytes& lead)
{
    const size_t length = text ? vlexif::WholeCharsLength(text, limit, lead) : 0;
    if (length != 0) {
        ifd.AddAscii(tag, text, length);
    }
}

int Clamped(int value, int most)
{
    return std::clamp(value, 0, most);
}

// The three directories in the order they are laid out, with the offsets
// that tie them together; IFD1 only when there is a thumbnail.
struct Directories {
    TiffIfd ifd0;
    TiffIfd exif;
    TiffIfd ifd1;
    bool thumbnail = false;

    Directories(const ExifFields& fields, const ExifThumbnail* thumbnail);
    // Bytes from the TIFF header's start to the thumbnail's data.
    size_t TiffBytesBeforeThumbnail() const;
};

// The thumbnail shows the same page with fewer pixels, so its dots per
// inch shrink by the same factor.
void AddScaledResolution(TiffIfd& ifd, uint16_t tag, uint32_t dpi, uint32_t side, uint32_t pageSide)
{
    uint64_t numerator = uint64_t{dpi} * side, denominator = std::max<uint32_t>(pageSide, 1);
    const uint64_t divisor = std::gcd(numerator, denominator);
    if (divisor > 1) {
        numerator /= divisor;
        denominator /= divisor;
    }
    // Both fit: at most 65535 * 160 and a page side.
    ifd.AddRational(tag, static_cast<uint32_t>(numerator), static_cast<uint32_t>(denominator));
}

Directories::Directories(const ExifFields& fields, const ExifThumbnail* thumbnailData)
{
    const size_t dateLength = strnlen(fields.dateTime, sizeof fields.dateTime - 1);
    exif.AddUndefined(TagExifVersion, "0232", 4);
    exif.AddAscii(TagDateTimeOriginal, fields.dateTime, dateLength);
    exif.AddAscii(TagDateTimeDigitized, fields.dateTime, dateLength);
    // Y alone, the other components absent, for a grey frame.
    exif.AddUndefined(TagComponentsConfiguration, fields.grey ? "\1\0\0\0" : "\1\2\3\0", 4);
    exif.AddUndefined(TagFlashpixVersion, "0100", 4);
    exif.AddShort(TagColorSpace, Srgb);
    exif.AddLong(TagPixelXDimension, fields.width);
    exif.AddLong(TagPixelYDimension, fields.height);

    AddTextIfAny(ifd0, TagMake, fields.make, MaxScannerText, fields.leadBytes);
    AddTextIfAny(ifd0, TagModel, fields.model, MaxScannerText, fields.leadBytes);
    ifd0.AddShort(TagOrientation, OrientationTopLeft);
    ifd0.AddRational(TagXResolution, fields.xDpi, 1);
    ifd0.AddRational(TagYResolution, fields.yDpi, 1);
    ifd0.AddShort(TagResolutionUnit, UnitInches);
    AddTextIfAny(ifd0, TagSoftware, fields.software, MaxSoftwareText, fields.leadBytes);
    ifd0.AddAscii(TagDateTime, fields.dateTime, dateLength);
    // Required of every Exif JPEG; for a grey frame it describes nothing.
    ifd0.AddShort(TagYCbCrPositioning, CentredChroma);
    // The pointer's own entry is inline, so its value does not change the size.
    ifd0.AddLong(TagExifIfd, 0);
    ifd0.AddLong(TagExifIfd, static_cast<uint32_t>(TiffHeaderBytes + ifd0.Size()));

    thumbnail = thumbnailData != nullptr;
    if (!thumbnail) {
        return;
    }
    ifd1.AddShort(TagCompression, JpegCompression);
    AddScaledResolution(ifd1, TagXResolution, fields.xDpi, thumbnailData->width, fields.width);
    AddScaledResolution(ifd1, TagYResolution, fields.yDpi, thumbnailData->height, fields.height);
    ifd1.AddShort(TagResolutionUnit, UnitInches);
    ifd1.AddLong(TagJpegInterchangeFormatLength, static_cast<uint32_t>(thumbnailData->size));
    // As for the Exif pointer: the entry is there before the size counts it.
    ifd1.AddLong(TagJpegInterchangeFormat, 0);
    ifd1.AddLong(TagJpegInterchangeFormat, static_cast<uint32_t>(TiffBytesBeforeThumbnail()));
}

size_t Directories::TiffBytesBeforeThumbnail() const
{
    // Every value in IFD1 has a fixed size, so its size is known before them.
    return TiffHeaderBytes + ifd0.Size() + exif.Size() + (thumbnail ? ifd1.Size() : 0);
}

constexpr ExifThumbnail SizingThumbnail = {};

} // namespace

size_t ExifThumbnailRoom(const ExifFields& fields)
{
    const Directories directories(fields, &SizingThumbnail);
    const size_t used = ExifHeaderBytes + directories.TiffBytesBeforeThumbnail();
    return used < MaxExifSegmentBytes ? MaxExifSegmentBytes - used : 0;
}

bool BuildExifSegment(const ExifFields& fields, const ExifThumbnail& thumbnail, ExifSegment& segment)
{
    const bool withThumbnail = thumbnail.jpeg && thumbnail.size;
    const Directories directories(fields, withThumbnail ? &thumbnail : nullptr);

    ByteWriter out(segment.bytes, MaxExifSegmentBytes);
    out.Bytes("Exif\0\0", ExifHeaderBytes);
    const size_t tiffStart = out.Size();
    out.Bytes("II\x2A\0", 4);
    out.U32(TiffHeaderBytes);
    const size_t ifd1Offset = TiffHeaderBytes + directories.ifd0.Size() + directories.exif.Size();
    directories.ifd0.AppendTo(out, tiffStart, withThumbnail ? static_cast<uint32_t>(ifd1Offset) : 0);
    directories.exif.AppendTo(out, tiffStart);
    if (withThumbnail) {
        directories.ifd1.AppendTo(out, tiffStart);
        out.Bytes(thumbnail.jpeg, thumbnail.size);
    }
    const bool whole =
        directories.ifd0.Complete() && directories.exif.Complete() && directories.ifd1.Complete() && !out.Overflowed();
    segment.size = whole ? out.Size() : 0;
    return whole;
}

void ExifDateTime(int year, int month, int day, int hour, int minute, int second, char (&text)[ExifDateTimeBytes])
{
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", Clamped(year, 9999), Clamped(month, 99),
                  Clamped(day, 99), Clamped(hour, 99), Clamped(minute, 99), Clamped(second, 99));
}

} // namespace vkexf
