#include "converter/files/ReplacingFile.h"

#include "converter/base/LastFailure.h"

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
        DeleteFileW(temporary);
    }
}

Status ReplacingFile::Create(const char* destinationPath)
{
    destination = destinationPath;
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
        file.Reset(CreateFileW(temporary, GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) {
            break;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, GetLastError());
        }
    }
    if (!file.Valid()) {
        return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, ERROR_FILE_EXISTS);
    }
    if (!MarkForDeletion(true)) {
        const DWORD error = GetLastError();
        unmarked = true;
        return FailWithError(StatusCreateFailed, CannotWrite, destinationPath, error);
    }
    return StatusOk;
}

Status ReplacingFile::CheckReplaceable(bool& exists) const
{
    const DWORD attributes = GetFileAttributesW(target.text);
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
    const vlexif::UniqueFind search(FindFirstFileW(temporary, &found));
    if (!search.Valid()) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(found.cFileName)) {
            std::wcscpy(temporary + target.folderLength, found.cFileName);
            // A conversion still writing holds its file without sharing, so
            // this fails for it; only a file whose owner died goes.
            DeleteFileW(temporary);
        }
    } while (FindNextFileW(search.Get(), &found));
}

bool ReplacingFile::MarkForDeletion(bool remove) const
{
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = remove;
    return SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

bool ReplacingFile::RenameOverDestination() const
{
    union {
        FILE_RENAME_INFO info;
        char bytes[sizeof(FILE_RENAME_INFO) + MaxExtendedPath * sizeof(wchar_t)];
    } rename = {};
    rename.info.ReplaceIfExists = TRUE;
    ToNtPath(target, rename.info.FileName);
    rename.info.FileNameLength = static_cast<DWORD>(std::wcslen(rename.info.FileName) * sizeof(wchar_t));
    return SetFileInformationByHandle(file.Get(), FileRenameInfo, &rename, sizeof rename);
}

Status ReplacingFile::Commit(const ConverterCalls& calls)
{
    bool replacing = false;
    if (const Status status = CheckReplaceable(replacing)) {
        return status;
    }
    // Only a file that replaces another goes to the disk first: after a
    // power loss the rename may have reached the disk before the data, and
    // the user's old file would be gone for a damaged one. A new file has
    // nothing to lose, and the flush costs as much as a tenth of the call.
    if (replacing && !calls.flushFileBuffers(file.Get())) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError());
    }
    // The mark comes off before the rename: a kill in between leaves a
    // complete temporary file, never a deleted destination.
    if (!MarkForDeletion(false)) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError());
    }
    if (!RenameOverDestination()) {
        const DWORD error = GetLastError();
        unmarked = !MarkForDeletion(true);
        return FailWithError(StatusReplaceFailed, CannotReplace, destination, error);
    }
    if (!file.Close()) {
        return FailWithError(StatusWriteFailed, CannotWrite, destination, GetLastError());
    }
    return StatusOk;
}

} // namespace vkexf
