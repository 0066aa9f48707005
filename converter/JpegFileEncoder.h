// libjpeg-turbo compression straight into a Win32 file. libjpeg reports
// errors by longjmp; each call into it is guarded and a failure leaves it as
// a ConverterError, so nothing but C frames is ever jumped over.
#pragma once

#include <windows.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace vkexf {

struct JpegSettings {
    uint32_t width = 0;
    uint32_t height = 0;
    int quality = 75;
    uint32_t xDpi = 72;  // also written to the JFIF header,
    uint32_t yDpi = 72;  // in dots per inch
    std::vector<uint8_t> exifSegment; // APP1 payload
};

class JpegFileEncoder {
public:
    // Writes to `output`, which stays owned by the caller.
    explicit JpegFileEncoder(HANDLE output);
    ~JpegFileEncoder();
    JpegFileEncoder(const JpegFileEncoder&) = delete;
    JpegFileEncoder& operator=(const JpegFileEncoder&) = delete;

    // Each throws ConverterError when libjpeg or the file fails.
    void Start(const JpegSettings& settings);
    // Rows of BGR pixels, top line first.
    void WriteRows(uint8_t** rows, unsigned count);
    void Finish();

private:
    struct ErrorManager : jpeg_error_mgr {
        std::jmp_buf jump;
    };
    struct FileDestination : jpeg_destination_mgr {
        HANDLE file;
        DWORD writeError;
        std::vector<JOCTET> buffer;
    };

    static void ExitWithError(j_common_ptr cinfo);
    static void IgnoreMessage(j_common_ptr cinfo);
    static void InitDestination(j_compress_ptr cinfo);
    static boolean EmptyBuffer(j_compress_ptr cinfo);
    static void TermDestination(j_compress_ptr cinfo);
    static bool WriteAll(FileDestination& destination, size_t bytes);

    template <class Step>
    void Guarded(Step step);

    ErrorManager errors_;
    FileDestination destination_;
    jpeg_compress_struct cinfo_;
};

} // namespace vkexf
