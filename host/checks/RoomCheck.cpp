#include "host/checks/RoomCheck.h"

#include "host/checks/FolderProbe.h"
#include "host/checks/JobSpace.h"
#include "host/console/AnsiText.h"
#include "host/console/WidePath.h"

#include <windows.h>

namespace vlscan {

namespace {

// GetTempFileNameA, which names the spool file, takes a folder of at most
// this many characters.
constexpr size_t MaxSpoolFolder = MAX_PATH - 14;

constexpr uint64_t FreeSpaceUnknown = ~uint64_t{0};

struct DiskSpace {
    uint64_t available = FreeSpaceUnknown; // to this user
    uint64_t total = 0;
};

// The volume that holds `folder`; one that cannot say is taken as roomy, as
// the plug-in takes it.
DiskSpace SpaceOf(const std::wstring& folder)
{
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    DiskSpace space;
    if (GetDiskFreeSpaceExW(ExtendedForm(folder).c_str(), &available, &total, nullptr)) {
        space.available = available.QuadPart;
        space.total = total.QuadPart;
    }
    return space;
}

// One volume: the same root, and (since Wine serves every Unix file system
// on drive Z:) the same size.
bool OnOneVolume(const std::wstring& first, const std::wstring& second)
{
    wchar_t a[MAX_PATH];
    wchar_t b[MAX_PATH];
    return GetVolumePathNameW(ExtendedForm(first).c_str(), a, MAX_PATH) &&
        GetVolumePathNameW(ExtendedForm(second).c_str(), b, MAX_PATH) &&
        CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL && SpaceOf(first).total == SpaceOf(second).total;
}

std::string NoRoom(uint64_t needed, const char* what, uint64_t available)
{
    return "the disk is full (" + SizeText(needed) + " needed" + what + ", " + SizeText(available) + " free)";
}

// The temporary folder in the ANSI code page, as the plug-in's
// GetTempPathA and GetTempFileNameA take it: as written where the code page
// holds it and it leaves room for the spool file's name, else its short form,
// which this process's TMP and TEMP are then set to, as Windows itself does
// for a profile whose name the code page cannot hold. Else why not, with the
// remedy, in words for the user.
std::string HandOverTemporaryFolder(const std::wstring& folder, const std::string& shown)
{
    std::string ansi;
    if (AnsiFromWide(folder, ansi) && ansi.size() + 1 <= MaxSpoolFolder) {
        return {};
    }
    const std::wstring shortFolder = WithoutExtendedPrefix(ShortPath(ExtendedForm(folder)));
    std::string shortAnsi;
    if (!shortFolder.empty() && AnsiFromWide(shortFolder, shortAnsi) && shortAnsi.size() + 1 <= MaxSpoolFolder) {
        SetEnvironmentVariableW(L"TMP", shortFolder.c_str());
        SetEnvironmentVariableW(L"TEMP", shortFolder.c_str());
        return {};
    }
    const std::string remedy = "; set TMP and TEMP to a folder with a short plain name, such as C:\\Temp";
    if (ansi.empty()) {
        return shown + " has characters that the ANSI code page (" + std::to_string(GetACP()) +
            ") cannot hold, and no short name that it can, and the plug-in names its spool file in that code page" +
            remedy;
    }
    return shown + " has a path too long for the plug-in's spool file (" + std::to_string(ansi.size()) +
        " characters, at most " + std::to_string(MaxSpoolFolder - 1) + ", also in its short form)" + remedy;
}

// The folder GetTempPathA gives the plug-in, checked as the plug-in will use
// it: `folder` gets it for the output's check.
std::string CheckTemporaryFolder(uint64_t spoolBytes, std::wstring& folder)
{
    wchar_t wide[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, wide);
    folder.assign(wide, length <= MAX_PATH ? length : 0);
    // Named without its closing backslash, unless it is a drive's root.
    if (folder.size() > 3 && folder.back() == L'\\') {
        folder.pop_back();
    }
    const std::string shown = "the temporary folder " + Utf8Text(folder);
    if (folder.empty()) {
        return "the temporary folder (TMP or TEMP) is not set to a usable path";
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return shown +
            (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                 ? " does not exist"
                 : " cannot be read (" + ErrorText(error) + ")");
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return shown + " is a file";
    }
    std::string refusal = HandOverTemporaryFolder(folder, shown);
    if (!refusal.empty()) {
        return refusal;
    }
    refusal = NewFileRefusal(folder);
    if (!refusal.empty()) {
        return shown + " does not accept new files (" + refusal + ")";
    }
    const uint64_t available = SpaceOf(folder).available;
    if (available != FreeSpaceUnknown && available < spoolBytes) {
        return shown + " has no room for the page's spool file: " + NoRoom(spoolBytes, "", available);
    }
    return {};
}

} // namespace

std::string CheckRoom(const std::string& output, const OutputTarget& target, uint32_t width, uint32_t height)
{
    const uint64_t spoolBytes = SpoolFileBytes(width, height);
    std::wstring temporary;
    std::string refusal = CheckTemporaryFolder(spoolBytes, temporary);
    if (!refusal.empty()) {
        return refusal;
    }
    // The spool file is deleted only once the JPEG is written.
    const bool shared = OnOneVolume(target.folder, temporary);
    const uint64_t needed = JpegFloorBytes(width, height) + (shared ? spoolBytes : 0);
    const uint64_t available = SpaceOf(target.folder).available;
    if (available != FreeSpaceUnknown && available < needed) {
        return "cannot write " + output + ": " +
            NoRoom(needed, shared ? " at least, for the JPEG and the spool file on the same disk" : " at least",
                   available);
    }
    return {};
}

} // namespace vlscan
