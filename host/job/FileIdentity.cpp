#include "host/job/FileIdentity.h"

#include "host/console/WidePath.h"

#include <windows.h>

namespace vlscan {

namespace {

bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const std::wstring wide = OpenablePath(path);
    if (wide.empty()) {
        return false;
    }
    // No access asked for: only the attributes are read, and a file that
    // another program holds open still answers.
    const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

} // namespace

bool SameFile(const std::string& first, const std::string& second)
{
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return IdentityOf(first, a) && IdentityOf(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

} // namespace vlscan
