// Naming the spool file in the temporary directory, and recognising it again
// when its path comes back from the registry.
#pragma once

#include "win32/HeldFiles.h"

#include <windows.h>

#include <cstdint>

namespace vlexif {

// A new, empty "~TF" file in the temporary directory; its path in `path`.
// False when the platform could make no name; `path` is then empty.
[[nodiscard]] bool MakeSpoolPath(char (&path)[MAX_PATH]);

// True when `path` may be opened at all: a GetTempFileName "~TF" name on a
// lettered drive or in today's temporary directory. The folder may be any:
// the host's temporary directory can change while a job runs. A name proves
// nothing; only what the file holds does.
bool IsSpoolNamedPath(const char* path);

// True when the open `file` is a disk file holding a spool header that adds
// up to its size, which is then in `fileSize`. Reads the header's first bytes,
// so the file pointer is left past them.
bool HoldsSpoolHead(HANDLE file, uint64_t& fileSize);

// True only for a spool file this plug-in made: a spool-named path whose
// file, opened for reading only, holds a spool head. A stored path is checked
// before use so that no forged value makes the plug-in write to or delete
// another file. The open is tried again while another program holds the file.
bool IsOwnSpoolPath(const char* path, HeldFileWaits& waits);

} // namespace vlexif
