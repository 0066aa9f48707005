// The module-wide values the entry sets at load and everything else reads:
// this module's own handle and the resource library's.
#pragma once

#include <windows.h>

namespace vlexif {

HMODULE OwnModule();
HMODULE ResourceModule();
void SetModuleHandles(HMODULE own, HMODULE resources);

// The full path of a file beside this module: the module's path with all
// after its last backslash replaced by `fileName`, or `fileName` alone when
// the path has no backslash. False when the module's path is unknown or the
// result does not fit.
bool SiblingPath(HMODULE module, const char* fileName, char (&path)[MAX_PATH]);

} // namespace vlexif
