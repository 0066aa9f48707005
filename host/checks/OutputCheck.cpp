#include "host/checks/OutputCheck.h"

#include "host/checks/FolderProbe.h"
#include "host/checks/PathRules.h"
#include "host/console/AnsiText.h"
#include "host/console/WidePath.h"
#include "interface/JobDestination.h"
#include "win32/HeldFiles.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

namespace vlscan {

namespace {

// The converter takes the path as the job record holds it, with its NUL; the
// temporary file it writes beside it has a short name in the extended-length
// form, and so sets no limit of its own.
constexpr size_t MaxJobPath = sizeof(vkexf::JobDestination::outputPath) - 1;

std::string CodePageText()
{
    return "the ANSI code page (" + std::to_string(GetACP()) + ")";
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
    // sharing deletion would stop that, unless it lets go within the retries.
    vlexif::HeldFileWaits waits;
    vlexif::UniqueFile file;
    if (!vlexif::RetryWhileHeld(waits, path.c_str(), [&file, &path] {
            file.Reset(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            return file.Valid();
        })) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION ? "the file is in use by another program"
                                                : "the file cannot be replaced (" + ErrorText(error) + ")";
    }
    return {};
}

// The directory form for the job record: as written where the code page
// holds it and it leaves room, else its short form.
[[nodiscard]] bool AnsiFolder(const std::wstring& folder, size_t nameLength, std::string& ansi)
{
    if (AnsiFromWide(folder, ansi) && ansi.size() + 1 + nameLength <= MaxJobPath) {
        return true;
    }
    const std::wstring shortFolder = WithoutExtendedPrefix(ShortPath(ExtendedForm(folder)));
    std::string shortAnsi;
    if (!shortFolder.empty() && AnsiFromWide(shortFolder, shortAnsi)) {
        ansi = shortAnsi;
        return true;
    }
    return !ansi.empty();
}

} // namespace

std::string CheckOutput(const std::string& output, OutputTarget& target)
{
    target = {};
    target.shownPath = output;
    std::string breach = PathRuleBreach(output);
    if (!breach.empty()) {
        return breach;
    }
    const std::wstring full = FullPath(WidePath(output));
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

    const DWORD folderAttributes = GetFileAttributesW(ExtendedForm(folder).c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
            ? "the directory does not exist"
            : "the directory cannot be read (" + ErrorText(error) + ")";
    }
    if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return "the directory is a file";
    }
    const DWORD attributes = GetFileAttributesW(ExtendedForm(full).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        std::string refusal = CheckExisting(ExtendedForm(full), attributes);
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
    // Whether a separator is needed is read from the UTF-16 folder: in code
    // pages 932, 936, 949 and 950 the ANSI form's last byte can be 0x5C, the
    // second byte of a character such as 表, which is no separator. A short
    // form ends in one exactly when the folder does, at a drive's root.
    const std::string jobPath = ansiFolder + (folder.back() == L'\\' ? "" : "\\") + ansiName;
    if (jobPath.size() > MaxJobPath) {
        return "the path is too long for the job record, which holds " + std::to_string(MaxJobPath) +
            " characters: it has " + std::to_string(full.size()) +
            (jobPath.size() < full.size() ? ", " + std::to_string(jobPath.size()) + " with its folders' short names"
                                          : std::string());
    }
    const std::string refusal = NewFileRefusal(folder);
    if (!refusal.empty()) {
        return "the directory does not accept new files (" + refusal + ")";
    }
    target.folder = folder;
    target.jobPath = jobPath;
    return {};
}

} // namespace vlscan
