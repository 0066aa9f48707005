// libjpeg-turbo compression straight into a Win32 file. libjpeg reports
// errors by longjmp: each public step sets the jump target itself and calls
// only into libjpeg and the C-style callbacks below, so the jump passes over
// nothing with a destructor, and the step turns it into a status.
#pragma once

#include "converter/ConverterStatus.h"
#include "converter/HeapBuffer.h"

#include <windows.h>

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace vkexf {

struct JpegSettings {
    uint32_t width = 0;
    uint32_t height = 0;
    int quality = 75;
    bool grey = false;   // one-component frame from grey BGR rows
    uint32_t xDpi = 72;  // also written to the JFIF header,
    uint32_t yDpi = 72;  // in dots per inch
    const uint8_t* exifSegment = nullptr; // APP1 payload
    size_t exifSegmentSize = 0;
};

class JpegFileEncoder {
public:
    // Writes to `output`, which stays owned by the caller.
    explicit JpegFileEncoder(HANDLE output);
    ~JpegFileEncoder();
    JpegFileEncoder(const JpegFileEncoder&) = delete;
    JpegFileEncoder& operator=(const JpegFileEncoder&) = delete;

    Status Start(const JpegSettings& settings);
    // Rows of BGR pixels, top line first.
    Status WriteRows(uint8_t** rows, unsigned count);
    Status Finish();

    // The Win32 error of the write that failed, 0 if none did.
    DWORD writeError() const { return destination_.writeError; }

private:
    struct ErrorManager : jpeg_error_mgr {
        std::jmp_buf jump;
    };
    struct FileDestination : jpeg_destination_mgr {
        HANDLE file;
        DWORD writeError;
        JOCTET* buffer;
        size_t bufferSize;
    };

    static void ExitWithError(j_common_ptr cinfo);
    static void IgnoreMessage(j_common_ptr cinfo);
    static void InitDestination(j_compress_ptr cinfo);
    static boolean EmptyBuffer(j_compress_ptr cinfo);
    static void TermDestination(j_compress_ptr cinfo);
    static bool WriteAll(FileDestination& destination, size_t bytes);

    // The status for a longjmp out of libjpeg.
    Status Failed() const;

    HeapBuffer buffer_;
    ErrorManager errors_;
    FileDestination destination_;
    jpeg_compress_struct cinfo_;
    bool created_ = false;
};

} // namespace vkexf
