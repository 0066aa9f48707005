#include "spool/SpoolPath.h"

#include "spool/SpoolName.h"
#include "spool/SystemCalls.h"

namespace vlexif {

namespace {

bool TempDirectory(char (&dir)[MAX_PATH])
{
    const DWORD length = Os().GetTempPathA(MAX_PATH, dir);
    return length != 0 && length < MAX_PATH;
}

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
    return TempDirectory(dir) && IsSpoolPathIn(dir, path);
}

} // namespace vlexif
