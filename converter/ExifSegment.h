// The Exif APP1 segment written into every JPEG: IFD0 with the scanner's
// make and model, resolution, software and time, and an Exif IFD. Built in
// a fixed buffer: the texts are bounded, and so is the segment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

// Longest texts kept: the job record's fields and a bound on the software.
constexpr size_t kMaxScannerText = 64;
constexpr size_t kMaxSoftwareText = 255;
// "YYYY:MM:DD HH:MM:SS" and its NUL.
constexpr size_t kExifDateTimeBytes = 20;
// Room for every tag with its longest texts, well under one APP1 segment.
constexpr size_t kMaxExifSegmentBytes = 1024;

struct ExifFields {
    const char* make = nullptr;     // omitted when null or empty
    const char* model = nullptr;    // omitted when null or empty
    const char* software = nullptr; // omitted when null or empty
    char dateTime[kExifDateTimeBytes] = {};
    uint32_t xDpi = 72;
    uint32_t yDpi = 72;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct ExifSegment {
    uint8_t bytes[kMaxExifSegmentBytes];
    size_t size = 0;
};

// The APP1 payload: "Exif\0\0" and a little-endian TIFF stream. False only if
// it would not fit, which the bounds above rule out.
bool BuildExifSegment(const ExifFields& fields, ExifSegment& segment);

// EXIF's date and time form; each value is clamped to its digits.
void ExifDateTime(int year, int month, int day, int hour, int minute, int second,
                  char (&text)[kExifDateTimeBytes]);

} // namespace vkexf
