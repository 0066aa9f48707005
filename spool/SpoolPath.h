// Naming the spool file in the temporary directory, and recognising it again
// when its path comes back from the registry.
#pragma once

#include <windows.h>

namespace vlexif {

// A new, empty "~TF" file in the temporary directory; its path in `path`.
// False when the platform could make no name; `path` is then empty.
bool MakeSpoolPath(char (&path)[MAX_PATH]);

// True only for a spool file this plug-in made. A stored path is checked
// before use so that no forged value makes the plug-in write to or delete
// another file. The file must prove itself: a GetTempFileName "~TF" name on a
// lettered drive or in today's temporary directory, and a disk file that
// holds a spool header adding up to its size. The folder may be any: the
// host's temporary directory can change while a job runs.
bool IsOwnSpoolPath(const char* path);

} // namespace vlexif
