// The module-wide values the entry sets at load and everything else reads:
// this module's own handle and the resource library's.
#pragma once

#include <windows.h>

namespace vlexif {

// How the resource library is loaded: it holds no code, so it is mapped for
// its resources alone. No code of it runs under the loader's lock at the
// plug-in's load, and a DLL of its name elsewhere could not run in its place.
constexpr DWORD ResourceLibraryLoad = LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE;

HMODULE OwnModule();
HMODULE ResourceModule();
void SetModuleHandles(HMODULE own, HMODULE resources);

} // namespace vlexif
