#include "host/picture/PngWriter.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace vlscan {

bool WritePng(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
              const std::vector<uint8_t>& samples)
{
    return stbi_write_png(path.c_str(), static_cast<int>(width), static_cast<int>(height), static_cast<int>(channels),
                          samples.data(), static_cast<int>(width * channels)) != 0;
}

} // namespace vlscan
