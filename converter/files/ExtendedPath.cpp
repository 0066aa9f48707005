#include "converter/files/ExtendedPath.h"

#include <cwchar>

namespace vkexf {

namespace {

bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    return std::wcsncmp(text, prefix, std::wcslen(prefix)) == 0;
}

} // namespace

DWORD ToExtendedPath(const char* ansiPath, ExtendedPath& path)
{
    // An ANSI path that does not map onto characters fails here, rather than
    // naming some other file.
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansiPath, -1, wide, MAX_PATH)) {
        return GetLastError();
    }
    wchar_t full[MAX_PATH];
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(wide, MAX_PATH, full, &name);
    if (length == 0) {
        return GetLastError();
    }
    if (length >= MAX_PATH) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    if (!name || !*name) {
        return ERROR_INVALID_NAME; // a folder, not a file
    }

    const wchar_t* prefix = L"\\\\?\\";
    const wchar_t* rest = full;
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
        prefix = L"";
    } else if (StartsWith(full, L"\\\\")) {
        prefix = L"\\\\?\\UNC\\";
        rest = full + 2;
    }
    const size_t prefixLength = std::wcslen(prefix);
    std::wcscpy(path.text, prefix);
    std::wcscpy(path.text + prefixLength, rest);
    path.length = prefixLength + (full + length - rest);
    path.folderLength = prefixLength + (name - rest);
    return 0;
}

} // namespace vkexf
