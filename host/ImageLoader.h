// Reads PNG (8 and 16 bit), JPEG, BMP and PNM files into a SourceImage:
// grey files stay grey, everything else becomes RGB, alpha is dropped, and
// 16-bit files keep their 16-bit samples. Platform-free.
#pragma once

#include "host/SourceImage.h"

#include <stdexcept>
#include <string>

namespace vlscan {

class ImageLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ImageLoadError with the decoder's reason.
SourceImage LoadSourceImage(const std::string& path);

} // namespace vlscan
