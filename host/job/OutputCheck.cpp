#include "host/job/OutputCheck.h"

#include "interface/JobDestination.h"
#include "host/console/AnsiText.h"
#include "host/console/WidePath.h"

#include <windows.h>

namespace vlscan {

namespace {

constexpr size_t MaxJobPath = sizeof(vkexf::JobDestination::outputPath) - 1;
// GetTempFileNameA adds a backslash and a name of up to 13 characters.
constexpr size_t MaxConverterFolder = MAX_PATH - 14;

// A path from a call that answers the size it needs when the buffer is short.
template <class Call>
std::wstring PathFrom(Call call)
{
    const DWORD size = call(nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring path(size, L'\0');
    const DWORD length = call(path.data(), size);
    if (length == 0 || length >= size) {
        return {};
    }
    path.resize(length);
    return path;
}

std::wstring FullPathOf(const std::wstring& path)
{
    return PathFrom([&path](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
}

std::wstring ShortPathOf(const std::wstring& path)
{
    return PathFrom([&path](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
}

std::string CodePageText()
{
    return "the ANSI code page (" + std::to_string(GetACP()) + ")";
}

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
    default:
        return "error " + std::to_string(error);
    }
}

// An existing destination must be one the converter can replace.
std::string CheckExisting(const std::wstring& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return "it is a directory";
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return "the file is read-only";
    }
    // Replacing deletes the old file: a program holding it open without
    // sharing deletion would stop that.
    const HANDLE file = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION ? "the file is in use by another program"
                                                : "the file cannot be replaced (" + ErrorText(error) + ")";
    }
    CloseHandle(file);
    return {};
}

// The directory form for the job record: as written where the code page
// holds it and it leaves room, else its short form.
[[nodiscard]] bool AnsiFolder(const std::wstring& folder, size_t nameLength, std::string& ansi)
{
    if (AnsiFromWide(folder, ansi) && ansi.size() + 1 + nameLength <= MaxJobPath) {
        return true;
    }
    const std::wstring shortFolder = ShortPathOf(folder);
    std::string shortAnsi;
    if (!shortFolder.empty() && AnsiFromWide(shortFolder, shortAnsi)) {
        ansi = shortAnsi;
        return true;
    }
    return !ansi.empty();
}

// The converter writes a temporary file beside the JPEG and renames it: the
// directory must take a new file. The probe is opened to delete itself on
// closing, so nothing stays behind even if the process dies here.
std::string CheckNewFile(const std::wstring& folder)
{
    const std::wstring stem = folder + (folder.back() == L'\\' ? L"" : L"\\") + L"~vlscan" +
                              std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring probe = stem + std::to_wstring(attempt) + L".tmp";
        const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return {};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return "the directory does not accept new files (" + ErrorText(error) + ")";
        }
    }
    return "the directory does not accept new files (no free probe name)";
}

} // namespace

std::string CheckOutput(const std::string& output, OutputTarget& target)
{
    target = {};
    target.shownPath = output;
    const std::wstring full = FullPathOf(WidePath(output));
    if (full.empty()) {
        return "not a valid path";
    }
    target.shownPath = Utf8Text(full);
    const size_t cut = full.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut + 1 == full.size()) {
        return "it names a directory, not a file";
    }
    // "C:" alone is the drive's current directory, not its root.
    const std::wstring folder = cut == 2 && full[1] == L':' ? full.substr(0, 3) : full.substr(0, cut);
    const std::wstring name = full.substr(cut + 1);

    const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? "the directory does not exist"
                   : "the directory cannot be read (" + ErrorText(error) + ")";
    }
    if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return "the directory is a file";
    }
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        std::string refusal = CheckExisting(full, attributes);
        if (!refusal.empty()) {
            return refusal;
        }
    }

    std::string ansiName;
    if (!AnsiFromWide(name, ansiName)) {
        return "the file name has characters that " + CodePageText() + " cannot hold; choose another name";
    }
    std::string ansiFolder;
    if (!AnsiFolder(folder, ansiName.size(), ansiFolder)) {
        return "the directory's name has characters that " + CodePageText() +
               " cannot hold, and it has no short name that can";
    }
    const std::string jobPath = ansiFolder + (ansiFolder.back() == '\\' ? "" : "\\") + ansiName;
    if (jobPath.size() > MaxJobPath) {
        return "the path is too long for the job record (" + std::to_string(jobPath.size()) +
               " characters, at most " + std::to_string(MaxJobPath) + ")";
    }
    if (ansiFolder.size() > MaxConverterFolder) {
        return "the directory's path is too long for the converter's temporary file (" +
               std::to_string(ansiFolder.size()) + " characters, at most " + std::to_string(MaxConverterFolder) + ")";
    }
    std::string refusal = CheckNewFile(folder);
    if (!refusal.empty()) {
        return refusal;
    }
    target.jobPath = jobPath;
    return {};
}

} // namespace vlscan
