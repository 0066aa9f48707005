#include "host/readers/ImageLoader.h"

#include "host/picture/FileOffsets.h"
#include "host/readers/BmpImage.h"
#include "host/readers/JpegImage.h"
#include "host/readers/PngImage.h"
#include "host/readers/PnmImage.h"
#include "host/readers/WholeBmp.h"

#include <cstring>

namespace vlscan {

std::unique_ptr<SourceImage> LoadSourceImage(FilePtr file, const StopCheck& stop)
{
    uint8_t magic[8] = {};
    const size_t got = std::fread(magic, 1, sizeof magic, file.get());
    if (std::ferror(file.get()) || !SeekTo(file.get(), 0)) {
        throw ImageLoadError(UnreadableReason);
    }
    if (got == 0) {
        throw ImageLoadError("the file is empty");
    }
    if (got >= 2 && magic[0] == 'P' && (magic[1] == '5' || magic[1] == '6')) {
        return PnmImage::Open(std::move(file));
    }
    if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') {
        if (std::unique_ptr<BmpImage> bmp = BmpImage::Open(file)) {
            return bmp;
        }
        return DecodeWholeBmp(std::move(file), stop);
    }
    static const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got == sizeof magic && std::memcmp(magic, PngSignature, sizeof magic) == 0) {
        return PngImage::Open(std::move(file), stop);
    }
    if (got >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) {
        return JpegImage::Open(std::move(file), stop);
    }
    throw ImageLoadError("the file is not a PNG, JPEG, BMP or binary PGM or PPM picture");
}

} // namespace vlscan
