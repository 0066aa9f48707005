// Owner of the open spool file's handle, and the file operations on it.
#pragma once

#include "interface/HostInterface.h"

namespace vlexif {

class SpoolFile {
public:
    SpoolFile() = default;
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;
    virtual ~SpoolFile();

    PluginStatus Create(const char* path);
    PluginStatus Open(const char* path);
    // Short writes fail too: a spool file with a gap is a corrupt image.
    PluginStatus Write(uint32_t byteCount, const void* data);
    PluginStatus Seek(int32_t distance, DWORD moveMethod);
    PluginStatus Close();
    static PluginStatus Delete(const char* path);

    HANDLE Handle() const { return handle; }

private:
    bool Opened();
    HANDLE handle = nullptr;
};

} // namespace vlexif
