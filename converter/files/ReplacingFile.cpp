#include "converter/files/ReplacingFile.h"

#include "converter/base/LastFailure.h"
#include "win32/SystemCalls.h"

#include <cwchar>
#include <cwctype>

namespace vkexf {

namespace {

constexpr int NameAttempts = 64;

// Exactly the names Create gives: "~vkx", eight hex digits, ".tmp". A search
// pattern alone would also match other files through their short names.
bool IsTemporaryName(const wchar_t* name)
{
    constexpr size_t HexDigits = 8;
    if (std::wcslen(name) != 4 + HexDigits + 4 || std::wcsncmp(name, L"~vkx", 4) != 0 ||
        std::wcscmp(name + 4 + HexDigits, L".tmp") != 0) {
        return false;
    }
    for (size_t i = 4; i < 4 + HexDigits; ++i) {
        if (!std::iswxdigit(name[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

ReplacingFile::~ReplacingFile()
{
    // Closed before its name is deleted: nothing written is kept by then.
    file.Reset();
    if (unmarked) {
        vlexif::Os().deleteFileW(temporary);
    }
}

Status ReplacingFile::Create(const char* destinationPath, vlexif::HeldFileWaits& heldWaits)
{
    destination = destinationPath;
    waits = &heldWaits;
    if (const DWORD error = ToExtendedPath(destinationPath, target)) {
        return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, error);
    }
    bool exists = false;
    if (const Status status = CheckReplaceable(exists)) {
        return status;
    }
    RemoveAbandoned();

    // "~vkx" and eight hex digits: unique enough per attempt, and plainly the
    // converter's own should one ever be seen.
    auto number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < NameAttempts; ++attempt, ++number) {
        std::wmemcpy(temporary, target.text, target.folderLength);
        std::swprintf(temporary + target.folderLength, MaxExtendedPath - target.folderLength, L"~vkx%08lX.tmp",
                      static_cast<unsigned long>(number));
        file.Reset(vlexif::Os().createFileW(temporary, GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) {
            break;
        }
        // A name taken, or one whose file another program holds while its
        // deletion is pending: the next name does as well as waiting would.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && !vlexif::IsPassingHold(error, temporary)) {
            return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, error, "CreateFileW");
        }
    }
    if (!file.Valid()) {
        return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, ERROR_FILE_EXISTS);
    }
    if (!MarkForDeletion(true)) {
        const DWORD error = GetLastError();
        unmarked = true;
        return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, error, "SetFileInformationByHandle");
    }
    return StatusOk;
}

Status ReplacingFile::CheckReplaceable(bool& exists) const
{
    const DWORD attributes = vlexif::Os().getFileAttributesW(target.text);
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? StatusOk
                                             : FailWithError(StatusCreateFailed, CannotWrite, destination, error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return Fail(StatusReplaceFailed, CannotReplace, destination, "a folder has that name");
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return Fail(StatusReplaceFailed, CannotReplace, destination, "the file is read-only");
    }
    return StatusOk;
}

void ReplacingFile::RemoveAbandoned()
{
    std::wmemcpy(temporary, target.text, target.folderLength);
    std::wcscpy(temporary + target.folderLength, L"~vkx*.tmp");
    WIN32_FIND_DATAW found;
    const vlexif::UniqueFind search(vlexif::Os().findFirstFileW(temporary, &found));
    if (!search.Valid()) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(found.cFileName)) {
            std::wcscpy(temporary + target.folderLength, found.cFileName);
            // A conversion still writing holds its file without sharing, so
            // this fails for it; only a file whose owner died goes.
            vlexif::Os().deleteFileW(temporary);
        }
    } while (vlexif::Os().findNextFileW(search.Get(), &found));
}

bool ReplacingFile::MarkForDeletion(bool remove) const
{
    // Its one member is named by a macro of the file calls, refused here.
    FILE_DISPOSITION_INFO disposition = {remove};
    return vlexif::Os().setFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

bool ReplacingFile::RenameTo(const wchar_t* path, bool replace) const
{
    union {
        FILE_RENAME_INFO info;
        char bytes[sizeof(FILE_RENAME_INFO) + MaxExtendedPath * sizeof(wchar_t)];
    } rename = {};
    rename.info.ReplaceIfExists = replace;
    // "\\?\" and "\\.\" both become "\??\", the form a rename by handle takes.
    std::wcscpy(rename.info.FileName, path);
    rename.info.FileName[1] = rename.info.FileName[2] = L'?';
    rename.info.FileNameLength = static_cast<DWORD>(std::wcslen(rename.info.FileName) * sizeof(wchar_t));
    return vlexif::Os().setFileInformationByHandle(file.Get(), FileRenameInfo, &rename, sizeof rename);
}

bool ReplacingFile::RenameBeside(wchar_t* kept) const
{
    const wchar_t* name = target.text + target.folderLength;
    const wchar_t* dot = std::wcsrchr(name, L'.');
    const size_t stemLength = dot ? static_cast<size_t>(dot - target.text) : target.length;
    constexpr int Names = 99;
    for (int number = 1; number <= Names; ++number) {
        wchar_t mark[16];
        if (number == 1) {
            std::wcscpy(mark, L" (new)");
        } else {
            std::swprintf(mark, 16, L" (new %d)", number);
        }
        std::wmemcpy(kept, target.text, stemLength);
        std::wcscpy(kept + stemLength, mark);
        std::wcscat(kept, target.text + stemLength);
        if (RenameTo(kept, false)) {
            return true;
        }
        // Never over a file: it may be a page kept by an earlier scan.
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS && !vlexif::IsPassingHold(error, kept)) {
            return false;
        }
    }
    return false;
}

Status ReplacingFile::KeepBeside(DWORD replaceError)
{
    wchar_t kept[MaxExtendedPath];
    if (!RenameBeside(kept)) {
        unmarked = !MarkForDeletion(true);
        return FailWithError(StatusReplaceFailed, CannotReplace, destination, replaceError,
                             "SetFileInformationByHandle");
    }
    if (!file.Close()) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError(), "CloseHandle");
    }
    char keptName[2 * MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, kept + target.folderLength, -1, keptName, sizeof keptName - 1, nullptr, nullptr);
    // Wine and Windows' classic rename say access denied for a rename over
    // an open file; the user is told what it means.
    const DWORD shown = vlexif::IsPassingHold(replaceError, target.text) ? ERROR_SHARING_VIOLATION : replaceError;
    static_cast<void>(FailWithError(StatusSavedBeside, CannotReplace, destination, shown));
    AppendToLastFailure("; the new page was saved beside it as ");
    AppendToLastFailure(keptName);
    return StatusSavedBeside;
}

Status ReplacingFile::Commit()
{
    bool replacing = false;
    if (const Status status = CheckReplaceable(replacing)) {
        // Made read-only or a folder while the page was converted: the page
        // is kept all the same.
        return status == StatusReplaceFailed ? KeepBeside(ERROR_ACCESS_DENIED) : status;
    }
    // Only a file that replaces another goes to the disk first: after a
    // power loss the rename may have reached the disk before the data, and
    // the user's old file would be gone for a damaged one. A new file has
    // nothing to lose, and the flush costs as much as a tenth of the call.
    if (replacing && !vlexif::Os().flushFileBuffers(file.Get())) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError(), "FlushFileBuffers");
    }
    // The mark comes off before the rename: a kill in between leaves a
    // complete temporary file, never a deleted destination.
    if (!MarkForDeletion(false)) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError(), "SetFileInformationByHandle");
    }
    // A program that holds the old file, even one that shares everything,
    // stops a rename over it: Windows' classic rename and Wine refuse it
    // with a sharing violation or access denied until the file is closed.
    if (!vlexif::RetryWhileHeld(*waits, target.text, [this] { return RenameTo(target.text, true); })) {
        return KeepBeside(GetLastError());
    }
    if (!file.Close()) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError(), "CloseHandle");
    }
    return StatusOk;
}

} // namespace vkexf
