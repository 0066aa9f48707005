// The 24-bit BMP the EXIF job spools for the formats in FormatReference.h,
// and line lengths a host may use for it.
#pragma once

#include "tests/support/FormatReference.h"

#include <cstdint>
#include <random>
#include <vector>

namespace vlexif::test {

// Bytes per line a host may use for the format at this width: RGB24 lines
// padded to the 24-bit stride, the others possibly longer than they need.
int32_t ExifBytesPerLine(const FormatReference& format, int32_t width, std::mt19937& random);

// A whole 24-bit bottom-up BMP: the 54-byte header and all-black rows.
std::vector<uint8_t> BlackBmp24(int32_t width, int32_t height, uint32_t dpi);

} // namespace vlexif::test
