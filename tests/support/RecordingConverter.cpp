// A stand-in for VkExf.dll: records its arguments and a copy of the spool file
// it is handed, and returns whatever result the test set.
#include "tests/support/RecordingConverter.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

ConverterRecord record;

void CopySpoolFile(const char* path)
{
    std::free(record.spoolCopy);
    record.spoolCopy = nullptr;
    record.spoolCopySize = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const DWORD size = GetFileSize(file, nullptr);
    record.spoolCopy = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    DWORD read = 0;
    if (ReadFile(file, record.spoolCopy, size, &read, nullptr) && read == size) {
        record.spoolCopySize = size;
    }
    CloseHandle(file);
}

} // namespace

extern "C" ConverterRecord* __cdecl Recorder_Record()
{
    return &record;
}

extern "C" uint32_t __cdecl VkExf_Entry(const char* versionText, const void* jobRecord,
                                        const char* spoolPath, int32_t quality)
{
    ++record.calls;
    lstrcpynA(record.versionText, versionText, sizeof record.versionText);
    record.jobRecord = jobRecord;
    lstrcpynA(record.spoolPath, spoolPath, sizeof record.spoolPath);
    record.quality = quality;
    CopySpoolFile(spoolPath);
    return record.result;
}
