// The open spool file and the file operations on it.
#pragma once

#include "interface/HostInterface.h"
#include "spool/SystemCalls.h"

namespace vlexif {

class SpoolFile {
public:
    PluginStatus Create(const char* path);
    PluginStatus Open(const char* path);
    // Short writes fail too: a spool file with a gap is a corrupt image.
    PluginStatus Write(uint32_t byteCount, const void* data);
    PluginStatus Seek(int32_t distance, DWORD moveMethod);
    // StatusCloseFailed also when nothing is open. The handle is gone either
    // way; after writing, a failure means the file may not hold what was written.
    PluginStatus Close();
    static PluginStatus Delete(const char* path);

    HANDLE Handle() const { return handle.Get(); }

private:
    SpoolHandle handle;
};

} // namespace vlexif
