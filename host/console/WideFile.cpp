#include "host/console/WideFile.h"

#include "host/console/WidePath.h"
#include "win32/HeldFiles.h"

#include <cerrno>

namespace vlscan {

FilePtr OpenWide(const std::string& utf8Path, const wchar_t* mode)
{
    const std::wstring path = OpenablePath(utf8Path);
    if (path.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    // A picture just saved by another program may still be held by an
    // indexer or thumbnailer for a moment.
    vlexif::HeldFileWaits waits;
    FilePtr file;
    static_cast<void>(vlexif::RetryWhileHeld(waits, path.c_str(), [&file, &path, mode] {
        file.reset(_wfopen(path.c_str(), mode));
        return file != nullptr;
    })); // a file that still will not open is reported by errno, as _wfopen set it
    return file;
}

} // namespace vlscan
