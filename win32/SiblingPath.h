// The path of a file beside a module (or beside the program, for a null
// module): how the plug-in finds its resource library and converter, and how
// the reference host finds the plug-in.
#pragma once

#include <windows.h>

namespace vlexif {

// The module's path with all after its last separator replaced by `fileName`,
// or `fileName` alone when the path has none. False when the module's
// path is unknown or the result does not fit.
[[nodiscard]] bool SiblingPath(HMODULE module, const char* fileName, char (&path)[MAX_PATH]);

} // namespace vlexif
