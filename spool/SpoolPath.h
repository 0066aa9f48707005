// Naming the spool file in the temporary directory, and recognising it again
// when its path comes back from the registry.
#pragma once

#include <windows.h>

namespace vlexif {

// A new, empty "~TF" file in the temporary directory; its path in `path`.
// False when the platform could make no name; `path` is then empty.
bool MakeSpoolPath(char (&path)[MAX_PATH]);

// True only for a path that MakeSpoolPath could have made. A stored path is
// checked before use so that no forged value makes the plug-in write to or
// delete another file.
bool IsOwnSpoolPath(const char* path);

} // namespace vlexif
