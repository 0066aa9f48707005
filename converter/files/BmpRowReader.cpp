#include "converter/files/BmpRowReader.h"

#include "converter/base/LastFailure.h"
#include "win32/SystemCalls.h"

#include <algorithm>

namespace vkexf {

namespace {

const char* Problem(BmpError error)
{
    switch (error) {
    case BmpError::Truncated:
    case BmpError::PixelArea:
        return "the file is cut short";
    case BmpError::BitCount:
        return "not 24 bits per pixel";
    case BmpError::Compression:
        return "the pixels are compressed";
    case BmpError::Width:
    case BmpError::Height:
        return "the image has no pixels";
    case BmpError::TooLarge:
        return "the image is larger than a JPEG can hold";
    case BmpError::PixelOffset:
        return "the pixels lie outside the file";
    default:
        return "not a BMP file";
    }
}

} // namespace

Status BmpRowReader::Open(const char* spoolPath, vlexif::HeldFileWaits& waits)
{
    path = spoolPath;
    const bool opened = vlexif::RetryWhileHeld(waits, spoolPath, [this, spoolPath] {
        file.Reset(vlexif::Os().createFileA(spoolPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.Valid();
    });
    if (!opened) {
        return FailWithError(StatusReadFailed, CannotRead, spoolPath, GetLastError(), "CreateFileA");
    }
    LARGE_INTEGER size;
    if (!vlexif::Os().getFileSizeEx(file.Get(), &size)) {
        return FailWithError(StatusReadFailed, CannotRead, spoolPath, GetLastError(), "GetFileSizeEx");
    }
    const auto fileSize = static_cast<uint64_t>(size.QuadPart);

    uint8_t header[bmp::InfoHeadSize];
    const auto headerBytes = static_cast<DWORD>(std::min<uint64_t>(sizeof header, fileSize));
    DWORD error = 0;
    if (const Status status = ReadAt(0, header, headerBytes, error)) {
        return ReportReadFailure(status, error);
    }
    if (const BmpError problem = ParseBmpHeader(header, headerBytes, fileSize, layout); problem != BmpError::None) {
        return Fail(StatusBadFormat, CannotRead, spoolPath, Problem(problem));
    }
    return StatusOk;
}

Status BmpRowReader::ReportReadFailure(Status status, DWORD error) const
{
    if (!error) {
        return Fail(status, CannotRead, path, "the file became shorter while it was read");
    }
    return FailWithError(status, CannotRead, path, error);
}

Status BmpRowReader::ReadAt(uint64_t offset, uint8_t* buffer, DWORD bytes, DWORD& error) const
{
    // The position travels with the call, so threads reading at once do
    // not move each other's file pointer.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!vlexif::Os().readFile(file.Get(), buffer, bytes, &read, &at)) {
        error = GetLastError();
        // The end of the file met by a positioned read is a short file too.
        if (error == ERROR_HANDLE_EOF) {
            error = 0;
        }
        return StatusReadFailed;
    }
    error = 0;
    return read == bytes ? StatusOk : StatusReadFailed;
}

Status BmpRowReader::ReadRows(uint32_t top, uint32_t count, uint8_t* pixels, uint8_t** rows, DWORD& error) const
{
    // A bottom-up file stores the rows as one run, last row first.
    const uint32_t firstStored = layout.topDown ? top : layout.height - top - count;
    if (const Status status =
            ReadAt(layout.pixelOffset + uint64_t{firstStored} * layout.stride, pixels, count * layout.stride, error)) {
        return status;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t stored = layout.topDown ? i : count - 1 - i;
        rows[i] = pixels + size_t{stored} * layout.stride;
    }
    return StatusOk;
}

} // namespace vkexf
