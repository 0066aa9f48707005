#include "host/picture/SourceImage.h"

namespace vlscan {

SourceImage::SourceImage(uint32_t width, uint32_t height, bool grey) : width(width), height(height), grey(grey)
{
    if (width == 0 || height == 0) {
        throw ImageLoadError("the picture has no pixels");
    }
    if (width > MaxSide || height > MaxSide) {
        throw ImageLoadError(TooLargeReason(width, height));
    }
}

std::string TooLargeReason(uint64_t width, uint64_t height)
{
    return "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, too large to hold in memory";
}

} // namespace vlscan
