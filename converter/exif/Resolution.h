// Resolution as the JPEG's readers want it: whole dots per inch.
#pragma once

#include <cstdint>

namespace vkexf {

// Used when the BMP gives no resolution.
constexpr uint32_t DefaultDpi = 72;

// Rounds pixels per metre to the nearest whole dpi (11811 -> 300); none, a
// negative or a sub-dpi value gives DefaultDpi. At most 65535, the most JFIF
// can hold, so the JFIF and EXIF values always agree.
uint32_t DotsPerInch(int32_t pixelsPerMetre);

} // namespace vkexf
