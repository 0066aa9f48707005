#include "spool/SpoolPath.h"

#include "spool/SpoolHead.h"
#include "spool/SpoolName.h"
#include "spool/SystemCalls.h"

namespace vlexif {

namespace {

bool TempDirectory(char (&dir)[MAX_PATH])
{
    const DWORD length = Os().GetTempPathA(MAX_PATH, dir);
    return length != 0 && length < MAX_PATH;
}

// A file opened for reading only, closed again on every way out.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const char* path)
        : handle(Os().CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile()
    {
        if (handle != INVALID_HANDLE_VALUE) {
            Os().CloseHandle(handle);
        }
    }

    // Only a disk file counts: a directory does not open, and a pipe or
    // device named like a spool file is not read from.
    bool HoldsSpoolHead() const
    {
        if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
            return false;
        }
        DWORD high = 0;
        const DWORD size = GetFileSize(handle, &high);
        uint8_t head[SpoolHeadBytes];
        DWORD read = 0;
        return high == 0 && size != INVALID_FILE_SIZE && ReadFile(handle, head, sizeof head, &read, nullptr) &&
               read == sizeof head && IsSpoolHead(head, size);
    }

private:
    HANDLE handle;
};

} // namespace

bool MakeSpoolPath(char (&path)[MAX_PATH])
{
    if (!TempDirectory(path) || Os().GetTempFileNameA(path, SpoolNamePrefix, 0, path) == 0) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool IsOwnSpoolPath(const char* path)
{
    char dir[MAX_PATH];
    // A temporary directory on a share is trusted as the current one only:
    // any other share path is never even opened.
    const bool named = IsDriveSpoolPath(path) || (TempDirectory(dir) && IsSpoolPathIn(dir, path));
    return named && ReadOnlyFile(path).HoldsSpoolHead();
}

} // namespace vlexif
