// Whether a row of BGR pixels is grey: every pixel with B = G = R. The
// plug-in spools grey and bilevel scans as such rows, and the converter
// writes them as a one-component JPEG.
#pragma once

#include <cstdint>

namespace vkexf {

// Reads exactly 3 * width bytes.
bool BgrRowIsGrey(const uint8_t* row, uint32_t width);

} // namespace vkexf
