#include "spool/LeftoverSpools.h"

#include "spool/SpoolFile.h"
#include "spool/SpoolPath.h"

#include <cstring>

namespace vlexif {

// The file as it was when it could not be deleted: the same path with
// another size or write time is another file.
struct LeftoverSpools::Record {
    FILETIME lastWrite;
    DWORD sizeLow;
    DWORD sizeHigh;
    char path[MAX_PATH];
};

namespace {

constexpr char ValueName[] = "Leftover Files";

bool Describe(const char* path, FILETIME& lastWrite, DWORD& sizeLow, DWORD& sizeHigh)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Os().getFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    lastWrite = data.ftLastWriteTime;
    sizeLow = data.nFileSizeLow;
    sizeHigh = data.nFileSizeHigh;
    return true;
}

} // namespace

bool LeftoverSpools::Delete(const char* path, HeldFileWaits& waits) const
{
    if (SpoolFile::Delete(path, waits) == StatusOk) {
        return true;
    }
    Remember(path);
    return false;
}

void LeftoverSpools::Remember(const char* path) const
{
    Record records[Capacity] = {};
    static_cast<void>(settings.ReadBinary(ValueName, records, sizeof records)); // none stored: an empty list
    Record fresh = {};
    if (!Describe(path, fresh.lastWrite, fresh.sizeLow, fresh.sizeHigh) ||
        lstrlenA(path) >= static_cast<int>(sizeof fresh.path)) {
        return; // gone after all, or nothing to find it by
    }
    lstrcpyA(fresh.path, path);
    std::memmove(records + 1, records, sizeof records - sizeof(Record));
    records[0] = fresh;
    // Unkept, the file stays where it is; the job's outcome does not depend on it.
    static_cast<void>(settings.WriteBinary(ValueName, records, sizeof records));
}

void LeftoverSpools::RemoveRemembered() const
{
    HeldFileWaits once(0);
    Record records[Capacity] = {};
    if (!settings.ReadBinary(ValueName, records, sizeof records)) {
        return;
    }
    Record kept[Capacity] = {};
    uint32_t keptCount = 0;
    for (Record& record : records) {
        record.path[MAX_PATH - 1] = '\0'; // the value is the user's to change: never read past a path
        FILETIME lastWrite;
        DWORD sizeLow = 0;
        DWORD sizeHigh = 0;
        // Only a spool-named file exactly as remembered: empty (its creation
        // failed) or holding our header.
        if (!IsSpoolNamedPath(record.path) || !Describe(record.path, lastWrite, sizeLow, sizeHigh) ||
            CompareFileTime(&lastWrite, &record.lastWrite) != 0 || sizeLow != record.sizeLow ||
            sizeHigh != record.sizeHigh || ((sizeLow | sizeHigh) != 0 && !IsOwnSpoolPath(record.path, once))) {
            continue;
        }
        if (SpoolFile::Delete(record.path, once) != StatusOk) {
            kept[keptCount++] = record;
        }
    }
    if (keptCount == 0) {
        settings.DeleteValue(ValueName);
    } else {
        static_cast<void>(settings.WriteBinary(ValueName, kept, sizeof kept)); // tried again next time regardless
    }
}

} // namespace vlexif
