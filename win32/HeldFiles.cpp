#include "win32/HeldFiles.h"

namespace vlexif {

namespace {

bool PassingHold(DWORD error, DWORD attributes)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        return true;
    }
    // Denied access to a writable file is a deletion still pending while
    // another program keeps its handle, or a rename over an open file.
    return error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace

bool HeldFileWaits::WaitBeforeTry(int tries)
{
    const DWORD wait = StepMs * static_cast<DWORD>(tries);
    if (tries >= MaxTries || waitedMs + wait > budget) {
        return false;
    }
    Os().sleep(wait);
    waitedMs += wait;
    return true;
}

bool IsPassingHold(DWORD error, const char* path)
{
    return PassingHold(error, error == ERROR_ACCESS_DENIED ? Os().getFileAttributesA(path) : 0);
}

bool IsPassingHold(DWORD error, const wchar_t* path)
{
    return PassingHold(error, error == ERROR_ACCESS_DENIED ? Os().getFileAttributesW(path) : 0);
}

} // namespace vlexif
