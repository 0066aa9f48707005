#include "host/checks/FileIdentity.h"

#include "win32/UniqueHandle.h"

#include "host/console/WidePath.h"

#include <windows.h>

namespace vlscan {

namespace {

[[nodiscard]] bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const std::wstring wide = OpenablePath(path);
    if (wide.empty()) {
        return false;
    }
    // No access asked for: only the attributes are read, and a file that
    // another program holds open still answers.
    const vlexif::UniqueFile file(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.Valid() && GetFileInformationByHandle(file.Get(), &info) != 0;
}

bool SameText(const std::wstring& first, const std::wstring& second)
{
    return CompareStringOrdinal(first.c_str(), -1, second.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

bool SameFile(const std::string& first, const std::string& second)
{
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    return IdentityOf(first, a) && IdentityOf(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
        a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool SameDestination(const std::string& first, const std::string& second)
{
    if (SameFile(first, second)) {
        return true;
    }
    const std::wstring a = FullPath(WidePath(first));
    const std::wstring b = FullPath(WidePath(second));
    const size_t cutA = a.find_last_of(L'\\');
    const size_t cutB = b.find_last_of(L'\\');
    if (a.empty() || b.empty() || cutA == std::wstring::npos || cutB == std::wstring::npos ||
        !SameText(a.substr(cutA + 1), b.substr(cutB + 1))) {
        return false;
    }
    const std::wstring folderA = a.substr(0, cutA + 1);
    const std::wstring folderB = b.substr(0, cutB + 1);
    return SameText(folderA, folderB) || SameFile(Utf8Text(folderA), Utf8Text(folderB));
}

} // namespace vlscan
