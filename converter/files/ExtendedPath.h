// A destination path from the job record (ANSI, maybe relative) as the wide
// file calls take it: full, in the "\\?\" form that lifts MAX_PATH, so a name
// beside a destination near the limit still fits. The destination itself
// must stay within MAX_PATH, where every program can open it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vkexf {

// "\\?\UNC\" before a path of MAX_PATH, room for a temporary name beside it.
constexpr size_t MaxExtendedPath = 8 + MAX_PATH + 32;

struct ExtendedPath {
    wchar_t text[MaxExtendedPath];
    size_t length;       // without the NUL
    size_t folderLength; // up to and including the last separator
};

// 0, or the Win32 error that says why the path is unusable.
[[nodiscard]] DWORD ToExtendedPath(const char* ansiPath, ExtendedPath& path);

} // namespace vkexf
