// Reads PNG (8 and 16 bit), JPEG, BMP and PNM files: grey files stay grey,
// everything else is RGB, alpha is laid on white paper, and 16-bit files keep
// their 16-bit samples. Binary PNM and uncompressed BMP files are read a line
// at a time from the file; the others are decoded whole. Platform-free: the
// caller opens the file.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/SourceImage.h"

#include <memory>

namespace vlscan {

// `file` is open for reading at its start; the image keeps it while it needs
// it. Throws ImageLoadError with the reason in words for the user.
std::unique_ptr<SourceImage> LoadSourceImage(FilePtr file);

} // namespace vlscan
