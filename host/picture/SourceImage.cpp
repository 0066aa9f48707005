#include "host/picture/SourceImage.h"

#include <climits>

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

void CheckDecodable(uint64_t width, uint64_t height, uint64_t channels, uint64_t bytesPerSample)
{
    if (width > SourceImage::MaxSide || height > SourceImage::MaxSide ||
        width * height * channels * bytesPerSample > INT_MAX) {
        throw ImageLoadError(TooLargeReason(width, height));
    }
}

} // namespace vlscan
