#include "host/console/WideFile.h"

#include "host/console/WidePath.h"

#include <cerrno>

namespace vlscan {

FilePtr OpenWide(const std::string& utf8Path, const wchar_t* mode)
{
    const std::wstring path = OpenablePath(utf8Path);
    if (path.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return FilePtr(_wfopen(path.c_str(), mode));
}

} // namespace vlscan
