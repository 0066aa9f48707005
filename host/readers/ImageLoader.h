// Reads PNG (8 and 16 bit), JPEG, BMP and PNM files: grey files stay grey,
// everything else is RGB, alpha is laid on white paper, and 16-bit files keep
// their 16-bit samples. Lines are read from the file or decoded as they are
// asked for; only interlaced PNG, the scans of progressive JPEG and the rarer
// BMP kinds are decoded whole first. Platform-free: the caller opens the
// file.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/SourceImage.h"

#include <memory>

namespace vlscan {

// `file` is open for reading at its start; the image keeps it while it needs
// it. Throws ImageLoadError with the reason in words for the user, and
// ReadInterrupted when `stop` asks during a decode made before the first
// line; between lines, the caller asks.
std::unique_ptr<SourceImage> LoadSourceImage(FilePtr file, const StopCheck& stop);

} // namespace vlscan
