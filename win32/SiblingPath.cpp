#include "win32/SiblingPath.h"

#include "win32/AnsiCodePage.h"

#include <cstring>

namespace vlexif {

bool SiblingPath(HMODULE module, const char* fileName, char (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    // Walked by characters: in a double-byte code page a folder's last
    // character may end in the byte of a backslash.
    const char* lastSlash = LastSeparator(path, AnsiLeadBytes());
    char* name = lastSlash ? path + (lastSlash - path) + 1 : path;
    const size_t room = static_cast<size_t>(path + MAX_PATH - name);
    if (std::strlen(fileName) + 1 > room) {
        return false;
    }
    std::memcpy(name, fileName, std::strlen(fileName) + 1);
    return true;
}

} // namespace vlexif
