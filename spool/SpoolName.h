// What a spool file's path looks like: a "~TF" name directly inside the
// temporary directory. Platform-free.
#pragma once

namespace vlexif {

constexpr char SpoolNamePrefix[] = "~TF";

// True when `path` names a file whose name starts with "~TF" and which lies
// directly in `tempDir` (a directory path ending in a backslash). Letters
// compare without case, as Windows paths do.
bool IsSpoolPathIn(const char* tempDir, const char* path);

} // namespace vlexif
