#include "converter/exif/Resolution.h"

namespace vkexf {

uint32_t DotsPerInch(int32_t pixelsPerMetre)
{
    if (pixelsPerMetre <= 0) {
        return DefaultDpi;
    }
    // 1 inch = 0.0254 m exactly.
    const uint64_t dpi = (uint64_t{static_cast<uint32_t>(pixelsPerMetre)} * 254 + 5000) / 10000;
    if (dpi == 0) {
        return DefaultDpi;
    }
    return dpi > 65535 ? 65535 : static_cast<uint32_t>(dpi);
}

} // namespace vkexf
