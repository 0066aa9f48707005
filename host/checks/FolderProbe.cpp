#include "host/checks/FolderProbe.h"

#include "win32/UniqueHandle.h"

#include "host/console/WidePath.h"

namespace vlscan {

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_WRITE_PROTECT:
        return "the disk is write-protected";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_INVALID_NAME:
        return "the name is not valid on Windows";
    default:
        return "error " + std::to_string(error);
    }
}

std::string NewFileRefusal(const std::wstring& folder)
{
    const std::wstring stem =
        folder + (folder.back() == L'\\' ? L"" : L"\\") + L"~vlscan" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring probe = stem + std::to_wstring(attempt) + L".tmp";
        const vlexif::UniqueFile file(CreateFileW(ExtendedForm(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (file.Valid()) {
            return {};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return ErrorText(error);
        }
    }
    return "no free probe name";
}

} // namespace vlscan
