#include "spool/SpoolFile.h"

#include "win32/SystemCalls.h"

namespace vlexif {

PluginStatus SpoolFile::Create(const char* path, HeldFileWaits& waits)
{
    const bool created = RetryWhileHeld(waits, path, [this, path] {
        handle.Reset(Os().createFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr));
        return handle.Valid();
    });
    return created ? StatusOk : StatusCreateFailed;
}

PluginStatus SpoolFile::Open(const char* path, HeldFileWaits& waits)
{
    const bool opened = RetryWhileHeld(waits, path, [this, path] {
        handle.Reset(Os().createFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        return handle.Valid();
    });
    return opened ? StatusOk : StatusOpenFailed;
}

PluginStatus SpoolFile::Write(uint32_t byteCount, const void* data)
{
    DWORD written = 0;
    if (Os().writeFile(handle.Get(), data, byteCount, &written, nullptr) != TRUE || written != byteCount) {
        return StatusWriteFailed;
    }
    return StatusOk;
}

PluginStatus SpoolFile::Seek(int64_t distance, DWORD moveMethod)
{
    LARGE_INTEGER move;
    move.QuadPart = distance;
    return Os().setFilePointerEx(handle.Get(), move, nullptr, moveMethod) ? StatusOk : StatusSeekFailed;
}

PluginStatus SpoolFile::Close()
{
    return handle.Valid() && handle.Close() ? StatusOk : StatusCloseFailed;
}

PluginStatus SpoolFile::Delete(const char* path, HeldFileWaits& waits)
{
    const bool deleted = RetryWhileHeld(waits, path, [path] { return Os().deleteFileA(path) != FALSE; });
    return deleted ? StatusOk : StatusDeleteFailed;
}

} // namespace vlexif
