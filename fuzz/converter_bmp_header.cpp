// The converter's BMP header parser on arbitrary bytes and file sizes: it
// reads only the bytes it is given, and what it accepts describes rows that
// lie inside the file and that a JPEG frame can hold.
// Input: the file's size (8 bytes, little-endian), then the file's first bytes.
#include "converter/files/BmpHeaderParser.h"
#include "fuzz/HostValues.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vkexf;
    using namespace vlexif::fuzz;
    uint64_t fileSize = 0;
    if (size < sizeof fileSize) {
        return 0;
    }
    for (size_t i = 0; i < sizeof fileSize; ++i) {
        fileSize |= uint64_t{data[i]} << (8 * i);
    }
    const size_t headerSize = std::min<size_t>(size - sizeof fileSize, bmp::InfoHeadSize);
    const std::unique_ptr<uint8_t[]> header(new uint8_t[headerSize]);
    std::memcpy(header.get(), data + sizeof fileSize, headerSize);

    BmpLayout layout;
    if (ParseBmpHeader(header.get(), headerSize, fileSize, layout) != BmpError::None) {
        return 0;
    }
    Require(layout.width >= 1 && layout.width <= VkExfMaxImageSide && layout.height >= 1 &&
                layout.height <= VkExfMaxImageSide,
            "both sides fit a JPEG frame");
    Require(layout.stride % 4 == 0 && layout.stride >= 3 * layout.width && layout.stride < 3 * layout.width + 4,
            "rows are 24-bit, padded to 4 bytes");
    Require(layout.pixelOffset >= bmp::CoreHeadSize &&
                uint64_t{layout.pixelOffset} + uint64_t{layout.stride} * layout.height <= fileSize,
            "the rows lie after the headers and inside the file");
    return 0;
}
