// The shipped files find each other by the folder of the module that looks:
// the plug-in its resource library and converter, the reference host the
// plug-in. Wide throughout: a per-user install under a profile the ANSI code
// page cannot name (Дмитрий on a 1252 system) reads as question marks through
// the ANSI calls, and nothing beside it would be found.
#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

namespace vlexif {

// The full path of `fileName` in the folder of `module` (the program's for a
// null module), however long the folder's path.
class CompanionPath {
public:
    CompanionPath(HMODULE module, const wchar_t* fileName);

    // Null when the module's path is unknown, names no folder, or there was
    // no memory for it.
    const wchar_t* Get() const { return static_cast<const wchar_t*>(buffer.Get()); }

private:
    UniqueHeapBlock buffer;
};

// Loads the file at `fullPath`, whose own imports are sought only in its
// folder and in System32: never the current folder or PATH, where any
// program may have put a DLL of the same name. `dataFlags` are the loader's
// flags for a file loaded for its resources alone. Null, with the loader's
// last error, when it cannot be loaded.
HMODULE LoadByFullPath(const wchar_t* fullPath, DWORD dataFlags = 0);

// Both together: `fileName` loaded from the folder of `module`.
HMODULE LoadCompanion(HMODULE module, const wchar_t* fileName, DWORD dataFlags = 0);

} // namespace vlexif
