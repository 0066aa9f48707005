#include "converter/files/WholeRuns.h"

#include "win32/SystemCalls.h"

namespace vkexf {

namespace {

OVERLAPPED At(uint64_t offset)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

DWORD Write(HANDLE file, const uint8_t* bytes, size_t size, OVERLAPPED* at)
{
    const auto count = static_cast<DWORD>(size);
    DWORD written = 0;
    const BOOL wrote = vlexif::Os().writeFile(file, bytes, count, &written, at);
    if (wrote && written == count) {
        return 0;
    }
    // A write to a disk file that succeeds short has run out of room: Wine
    // reports a full disk so.
    const DWORD error = wrote ? ERROR_DISK_FULL : GetLastError();
    return error ? error : ERROR_WRITE_FAULT;
}

} // namespace

DWORD WriteRun(HANDLE file, const uint8_t* bytes, size_t size)
{
    return Write(file, bytes, size, nullptr);
}

DWORD WriteRunAt(HANDLE file, uint64_t offset, const uint8_t* bytes, size_t size)
{
    OVERLAPPED at = At(offset);
    return Write(file, bytes, size, &at);
}

DWORD ReadRunAt(HANDLE file, uint64_t offset, uint8_t* bytes, size_t size)
{
    const auto count = static_cast<DWORD>(size);
    OVERLAPPED at = At(offset);
    DWORD read = 0;
    if (!vlexif::Os().readFile(file, bytes, count, &read, &at)) {
        const DWORD error = GetLastError();
        return error ? error : ERROR_READ_FAULT;
    }
    return read == count ? 0 : ERROR_HANDLE_EOF;
}

Status WriteStatus(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? StatusDiskFull : StatusWriteFailed;
}

} // namespace vkexf
