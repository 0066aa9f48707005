// Compresses a whole page into a JPEG file on every processor the process
// may use: the page is cut into strips of whole MCU rows (see StripPlan.h),
// each worker takes the next strip from the top, reads and compresses it
// with its own compress object, and appends it to the file when the strips
// above it are there. The file is byte for byte what one compress object
// with the same restart interval would write, however many workers ran.
#pragma once

#include "converter/base/ConverterCalls.h"
#include "converter/base/ConverterStatus.h"
#include "converter/base/StripPlan.h"
#include "converter/files/BmpRowReader.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vkexf {

struct JpegSettings {
    uint32_t width = 0;
    uint32_t height = 0;
    int quality = 75;
    uint32_t xDpi = 72;                   // also written to the JFIF header,
    uint32_t yDpi = 72;                   // in dots per inch
    bool grey = false;                    // one component: the rows hold R = G = B
    const uint8_t* exifSegment = nullptr; // APP1 payload
    size_t exifSegmentSize = 0;
};

class JpegFileEncoder {
public:
    // Strips of about `stripBytes` of pixels (see StripPlan.h).
    JpegFileEncoder(const BmpRowReader& reader, const ConverterCalls& calls, size_t stripBytes = StripTargetBytes)
        : reader(reader), calls(calls), stripBytes(stripBytes)
    {
    }

    // Writes the page to `output` (owned by the caller, named `outputPath`
    // in the failure text). On failure the reason is recorded for
    // VkExf_LastError and every worker has ended.
    Status Encode(const JpegSettings& settings, HANDLE output, const char* outputPath);

private:
    const BmpRowReader& reader;
    ConverterCalls calls;
    size_t stripBytes;
};

} // namespace vkexf
