#include "spool/SpoolPath.h"

#include "spool/SpoolHead.h"
#include "spool/SpoolName.h"
#include "win32/AnsiCodePage.h"
#include "win32/SystemCalls.h"

namespace vlexif {

namespace {

[[nodiscard]] bool TempDirectory(char (&dir)[MAX_PATH])
{
    const DWORD length = Os().getTempPathA(MAX_PATH, dir);
    return length != 0 && length < MAX_PATH;
}

} // namespace

bool MakeSpoolPath(char (&path)[MAX_PATH])
{
    if (!TempDirectory(path) || Os().getTempFileNameA(path, SpoolNamePrefix, 0, path) == 0) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool IsSpoolNamedPath(const char* path)
{
    char dir[MAX_PATH];
    const LeadBytes lead = AnsiLeadBytes();
    // A temporary directory on a share is trusted as the current one only:
    // any other share path is never even opened.
    return IsDriveSpoolPath(path, lead) || (TempDirectory(dir) && IsSpoolPathIn(dir, path, lead));
}

bool HoldsSpoolHead(HANDLE file, uint64_t& fileSize)
{
    // Only a disk file counts: a directory does not open, and a pipe or
    // device named like a spool file is not read from.
    if (Os().getFileType(file) != FILE_TYPE_DISK) {
        return false;
    }
    LARGE_INTEGER size;
    uint8_t head[SpoolHeadBytes];
    DWORD read = 0;
    if (!Os().getFileSizeEx(file, &size) || !Os().readFile(file, head, sizeof head, &read, nullptr) ||
        read != sizeof head || !IsSpoolHead(head, static_cast<uint64_t>(size.QuadPart))) {
        return false;
    }
    fileSize = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool IsOwnSpoolPath(const char* path, HeldFileWaits& waits)
{
    if (!IsSpoolNamedPath(path)) {
        return false;
    }
    // Opened for reading only, and closed again on every way out. Sharing
    // everything: a program that holds the file, even to write, does not
    // change what its head proves.
    UniqueFile file;
    const bool opened = RetryWhileHeld(waits, path, [&file, path] {
        file.Reset(Os().createFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.Valid();
    });
    uint64_t size = 0;
    return opened && HoldsSpoolHead(file.Get(), size);
}

} // namespace vlexif
