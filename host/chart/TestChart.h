// Generated test pictures: a colourful chart for people to look at, and a
// smooth picture whose JPEG loses little, for comparisons. Platform-free.
#pragma once

#include "host/picture/NameTable.h"

#include <cstdint>
#include <vector>

namespace vlscan {

enum class ChartPattern { Chart, Smooth };

inline constexpr NamedValue<ChartPattern> ChartPatternNames[] = {{"chart", ChartPattern::Chart},
                                                                 {"smooth", ChartPattern::Smooth}};

// Line y of the picture: 16-bit RGB samples.
std::vector<uint16_t> DrawChartLine(ChartPattern pattern, uint32_t width, uint32_t height, uint32_t y);

// Rec. 601 luma of each RGB pixel.
std::vector<uint16_t> GreyOf(const std::vector<uint16_t>& rgb);

// The high bytes, for 8-bit files.
std::vector<uint8_t> HighBytes(const std::vector<uint16_t>& samples);

} // namespace vlscan
