#include "spool/FreeSpace.h"

#include "win32/AnsiChars.h"
#include "win32/AnsiCodePage.h"
#include "win32/SystemCalls.h"

#include <windows.h>

#include <cstring>

namespace vlexif {

uint64_t QueryFreeSpace(const char* spoolPath)
{
    // The folder with its closing backslash, as a share's path needs it.
    const char* separator = LastSeparator(spoolPath, AnsiLeadBytes());
    if (!separator) {
        return FreeSpaceUnknown;
    }
    char folder[MAX_PATH];
    const size_t length = static_cast<size_t>(separator - spoolPath) + 1;
    if (length >= sizeof folder) {
        return FreeSpaceUnknown;
    }
    std::memcpy(folder, spoolPath, length);
    folder[length] = '\0';
    ULARGE_INTEGER available;
    if (!Os().getDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) {
        return FreeSpaceUnknown;
    }
    return available.QuadPart;
}

} // namespace vlexif
