// The open spool file and the file operations on it.
#pragma once

#include "interface/HostInterface.h"
#include "win32/HeldFiles.h"
#include "win32/SystemCalls.h"

namespace vlexif {

class SpoolFile {
public:
    // Created as a temporary file that indexers skip: the cache may keep it
    // unwritten, and the converter reads it in the same session.
    // Create, Open and Delete try again while another program holds the
    // file for a moment, within what `waits` has left for this host call.
    PluginStatus Create(const char* path, HeldFileWaits& waits);
    PluginStatus Open(const char* path, HeldFileWaits& waits);
    // Short writes fail too: a spool file with a gap is a corrupt image.
    PluginStatus Write(uint32_t byteCount, const void* data);
    // 64-bit positions: a spool file may pass 4 GiB.
    PluginStatus Seek(int64_t distance, DWORD moveMethod);
    // StatusCloseFailed also when nothing is open. The handle is gone either
    // way; after writing, a failure means the file may not hold what was written.
    PluginStatus Close();
    static PluginStatus Delete(const char* path, HeldFileWaits& waits);

    HANDLE Handle() const { return handle.Get(); }

private:
    UniqueFile handle;
};

} // namespace vlexif
