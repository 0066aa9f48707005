// Reads a 24-bit BMP spool file in runs of rows, top line first whichever
// way up the file stores them; any thread may read a run at any time.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "converter/files/BmpHeaderParser.h"
#include "win32/HeldFiles.h"
#include "win32/UniqueHandle.h"

#include <cstdint>

namespace vkexf {

class BmpRowReader {
public:
    // Opens the file read-only and checks its headers; the open is tried
    // again while another program holds the file, within `waits`.
    Status Open(const char* path, vlexif::HeldFileWaits& waits);

    const BmpLayout& Layout() const { return layout; }
    const char* Path() const { return path; }

    // Reads rows `top` to `top + count` in one read into `pixels` (room for
    // `count` strides) and points `rows` at them, top line first. Records
    // nothing, so any thread may call it at any time: a failure leaves its
    // Win32 error in `error`, 0 for a file that ended early.
    Status ReadRows(uint32_t top, uint32_t count, uint8_t* pixels, uint8_t** rows, DWORD& error) const;
    // Records a failure of ReadRows for VkExf_LastError, naming the file.
    Status ReportReadFailure(Status status, DWORD error) const;

private:
    Status ReadAt(uint64_t offset, uint8_t* buffer, DWORD bytes, DWORD& error) const;

    const char* path = nullptr;
    vlexif::UniqueFile file;
    BmpLayout layout;
};

} // namespace vkexf
