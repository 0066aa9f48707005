#include "spool/SpoolFile.h"

#include "spool/SystemCalls.h"

namespace vlexif {

PluginStatus SpoolFile::Create(const char* path)
{
    handle.Reset(
        Os().createFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.Valid() ? StatusOk : StatusCreateFailed;
}

PluginStatus SpoolFile::Open(const char* path)
{
    handle.Reset(Os().createFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.Valid() ? StatusOk : StatusOpenFailed;
}

PluginStatus SpoolFile::Write(uint32_t byteCount, const void* data)
{
    DWORD written = 0;
    if (Os().writeFile(handle.Get(), data, byteCount, &written, nullptr) != TRUE || written != byteCount) {
        return StatusWriteFailed;
    }
    return StatusOk;
}

PluginStatus SpoolFile::Seek(int32_t distance, DWORD moveMethod)
{
    return Os().setFilePointer(handle.Get(), distance, nullptr, moveMethod) == INVALID_SET_FILE_POINTER
        ? StatusSeekFailed
        : StatusOk;
}

PluginStatus SpoolFile::Close()
{
    return handle.Valid() && handle.Close() ? StatusOk : StatusCloseFailed;
}

PluginStatus SpoolFile::Delete(const char* path)
{
    return Os().deleteFileA(path) ? StatusOk : StatusDeleteFailed;
}

} // namespace vlexif
