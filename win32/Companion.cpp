#include "win32/Companion.h"

#include "win32/SystemCalls.h"

#include <cstring>
#include <cwchar>

namespace vlexif {

namespace {

// Windows' longest path, in characters, with its terminator.
constexpr DWORD LongestPath = 32768;

} // namespace

CompanionPath::CompanionPath(HMODULE module, const wchar_t* fileName)
{
    const size_t nameLength = std::wcslen(fileName);
    // A path that fills the buffer was cut: tried again with twice the room.
    for (DWORD size = MAX_PATH; size < 2 * LongestPath; size *= 2) {
        // Room for the name after the whole path, so that it always fits.
        buffer.Reset(Os().heapAlloc(GetProcessHeap(), 0, (size + nameLength + 1) * sizeof(wchar_t)));
        auto* path = static_cast<wchar_t*>(buffer.Get());
        if (!path) {
            return;
        }
        const DWORD length = Os().getModuleFileNameW(module, path, size);
        if (length > 0 && length < size) {
            // A module path is a full one; without a folder in it the name
            // alone would be searched for.
            wchar_t* separator = std::wcsrchr(path, L'\\');
            if (!separator) {
                break;
            }
            std::memcpy(separator + 1, fileName, (nameLength + 1) * sizeof(wchar_t));
            return;
        }
        if (length == 0) {
            break;
        }
    }
    buffer.Reset();
}

HMODULE LoadByFullPath(const wchar_t* fullPath, DWORD dataFlags)
{
    const HMODULE module = Os().loadLibraryExW(
        fullPath, nullptr, dataFlags | LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    // Vista, and 7 without update KB2533623, know no search flags. The
    // altered search order also looks in the file's own folder first.
    return Os().loadLibraryExW(fullPath, nullptr, dataFlags | LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadCompanion(HMODULE module, const wchar_t* fileName, DWORD dataFlags)
{
    const CompanionPath path(module, fileName);
    return path.Get() ? LoadByFullPath(path.Get(), dataFlags) : nullptr;
}

} // namespace vlexif
