// The Exif APP1 segment written into every JPEG: IFD0 with the scanner's
// make and model, resolution, software and time, and an Exif IFD.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vkexf {

struct ExifFields {
    std::string make;     // omitted when empty
    std::string model;    // omitted when empty
    std::string software; // omitted when empty
    std::string dateTime; // "YYYY:MM:DD HH:MM:SS"
    uint32_t xDpi = 72;
    uint32_t yDpi = 72;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Longest software text kept; the whole segment must stay under 64 KiB.
constexpr size_t kMaxSoftwareText = 255;

// The APP1 payload: "Exif\0\0" and a little-endian TIFF stream.
std::vector<uint8_t> BuildExifSegment(const ExifFields& fields);

// EXIF's date and time form, "YYYY:MM:DD HH:MM:SS".
std::string ExifDateTime(int year, int month, int day, int hour, int minute, int second);

} // namespace vkexf
