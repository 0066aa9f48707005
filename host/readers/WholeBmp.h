// The BMP kinds BmpImage leaves over (bit fields, 16 and 32 bits, OS/2
// headers), decoded whole by stb_image. Platform-free.
#pragma once

#include "host/picture/FilePtr.h"
#include "host/picture/SourceImage.h"

#include <memory>

namespace vlscan {

// `file` is at its start. Throws ImageLoadError with the reason, and
// ReadInterrupted when `stop` asks while the file is read.
std::unique_ptr<SourceImage> DecodeWholeBmp(FilePtr file, const StopCheck& stop);

} // namespace vlscan
