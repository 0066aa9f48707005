// What a spool file's path looks like: the name GetTempFileName makes with
// the "~TF" prefix, directly inside a folder. Paths are ANSI, walked by whole
// characters of the code page whose lead bytes are given. Platform-free.
#pragma once

#include "win32/AnsiChars.h"

namespace vlexif {

constexpr char SpoolNamePrefix[] = "~TF";

// True for "~TF", one to four hex digits and ".tmp": the names
// GetTempFileName gives with that prefix. Letters compare without case, as
// Windows names do.
bool IsSpoolName(const char* name);

// True when `path` names a spool-named file lying directly in `tempDir` (a
// directory path ending in a backslash).
bool IsSpoolPathIn(const char* tempDir, const char* path, const LeadBytes& lead);

// True when `path` names a spool-named file in a folder of a lettered drive
// ("X:\..."): no share, device or relative path, no stream.
bool IsDriveSpoolPath(const char* path, const LeadBytes& lead);

} // namespace vlexif
