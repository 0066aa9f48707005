// The Exif APP1 segment written into every JPEG: IFD0 with the scanner's
// make and model, resolution, software and time, an Exif IFD, and IFD1 with
// a JPEG thumbnail when there is one. The texts are bounded, so everything
// but the thumbnail takes well under 2 KB; the thumbnail gets the rest of
// one APP1 segment.
#pragma once

#include "win32/AnsiChars.h"

#include <cstddef>
#include <cstdint>

namespace vkexf {

// Longest texts kept: the job record's fields and a bound on the software.
constexpr size_t MaxScannerText = 64;
constexpr size_t MaxSoftwareText = 255;
// "YYYY:MM:DD HH:MM:SS" and its NUL.
constexpr size_t ExifDateTimeBytes = 20;
// One APP1 segment's payload: its length field counts itself.
constexpr size_t MaxExifSegmentBytes = 65533;

struct ExifFields {
    const char* make = nullptr;     // omitted when null or empty
    const char* model = nullptr;    // omitted when null or empty
    const char* software = nullptr; // omitted when null or empty
    char dateTime[ExifDateTimeBytes] = {};
    uint32_t xDpi = 72;
    uint32_t yDpi = 72;
    uint32_t width = 0;
    uint32_t height = 0;
    bool grey = false;             // a one-component (Y only) JPEG
    vlexif::LeadBytes leadBytes{}; // of the texts' code page; none by default
};

struct ExifThumbnail {
    const uint8_t* jpeg = nullptr; // a baseline JPEG; none when null or empty
    size_t size = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct ExifSegment {
    uint8_t* bytes = nullptr; // MaxExifSegmentBytes, owned by the caller
    size_t size = 0;
};

// The most bytes a thumbnail's JPEG may take in the segment for `fields`.
size_t ExifThumbnailRoom(const ExifFields& fields);

// The APP1 payload: "Exif\0\0" and a little-endian TIFF stream. False only if
// it would not fit, which for the texts means never, and for the thumbnail
// that it is larger than ExifThumbnailRoom.
[[nodiscard]] bool BuildExifSegment(const ExifFields& fields, const ExifThumbnail& thumbnail, ExifSegment& segment);

// EXIF's date and time form; each value is clamped to its digits.
void ExifDateTime(int year, int month, int day, int hour, int minute, int second, char (&text)[ExifDateTimeBytes]);

} // namespace vkexf
