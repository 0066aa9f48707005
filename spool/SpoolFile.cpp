#include "spool/SpoolFile.h"

#include "spool/SystemCalls.h"

namespace vlexif {

SpoolFile::~SpoolFile()
{
    if (handle) {
        Os().CloseHandle(handle);
        handle = nullptr;
    }
}

PluginStatus SpoolFile::Create(const char* path)
{
    handle = Os().CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return Opened() ? StatusOk : StatusCreateFailed;
}

PluginStatus SpoolFile::Open(const char* path)
{
    handle = Os().CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Opened() ? StatusOk : StatusOpenFailed;
}

// A failed open holds no handle, so the destructor has nothing to close.
bool SpoolFile::Opened()
{
    if (handle == INVALID_HANDLE_VALUE) {
        handle = nullptr;
    }
    return handle != nullptr;
}

PluginStatus SpoolFile::Write(uint32_t byteCount, const void* data)
{
    DWORD written = 0;
    if (Os().WriteFile(handle, data, byteCount, &written, nullptr) != TRUE || written != byteCount) {
        return StatusWriteFailed;
    }
    return StatusOk;
}

PluginStatus SpoolFile::Seek(int32_t distance, DWORD moveMethod)
{
    return Os().SetFilePointer(handle, distance, nullptr, moveMethod) == INVALID_SET_FILE_POINTER
               ? StatusSeekFailed
               : StatusOk;
}

PluginStatus SpoolFile::Close()
{
    if (Os().CloseHandle(handle) == 0) {
        return StatusCloseFailed;
    }
    handle = nullptr;
    return StatusOk;
}

PluginStatus SpoolFile::Delete(const char* path)
{
    return Os().DeleteFileA(path) ? StatusOk : StatusDeleteFailed;
}

} // namespace vlexif
