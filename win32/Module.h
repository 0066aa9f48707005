// The module-wide values the entry sets at load and everything else reads:
// this module's own handle and the resource library's.
#pragma once

#include <windows.h>

namespace vlexif {

HMODULE OwnModule();
HMODULE ResourceModule();
void SetModuleHandles(HMODULE own, HMODULE resources);

} // namespace vlexif
