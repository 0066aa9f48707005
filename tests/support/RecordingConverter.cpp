// A stand-in for VkExf.dll: records its arguments and a copy of the spool file
// it is handed, and returns whatever result the test set.
#include "tests/support/RecordingConverter.h"
#include "interface/VkExf.h"
#include "win32/UniqueHandle.h"

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
    const vlexif::UniqueFile file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) {
        return;
    }
    const DWORD size = GetFileSize(file.Get(), nullptr);
    record.spoolCopy = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    DWORD read = 0;
    if (ReadFile(file.Get(), record.spoolCopy, size, &read, nullptr) && read == size) {
        record.spoolCopySize = size;
    }
}

} // namespace

extern "C" ConverterRecord* __cdecl Recorder_Record()
{
    return &record;
}

extern "C" uint32_t __cdecl VkExf_EntryWithOptions(const char* versionText, const void* jobRecord,
                                                   const char* spoolPath, const VkExfOptions* options)
{
    ++record.calls;
    lstrcpynA(record.versionText, versionText, sizeof record.versionText);
    record.jobRecord = jobRecord;
    lstrcpynA(record.spoolPath, spoolPath, sizeof record.spoolPath);
    record.quality = options->quality;
    record.optionsSize = options->size;
    record.colourMode = options->colourMode;
    CopySpoolFile(spoolPath);
    return record.result;
}

// Built without the export above too (RecordingEntryOnly.def), as a
// converter that knows only this entry.
extern "C" uint32_t __cdecl VkExf_Entry(const char* versionText, const void* jobRecord, const char* spoolPath,
                                        int32_t quality)
{
    const VkExfOptions options = {0, quality, VkExfColourAuto, {}};
    return VkExf_EntryWithOptions(versionText, jobRecord, spoolPath, &options);
}
