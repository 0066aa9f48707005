// Holds files the way other programs on a user's desktop do for a moment
// (search indexers, sync and backup clients, thumbnailers, the user-mode
// parts of virus scanners), for the end-to-end cases of held files.
//   fileholder hold PATH SHARE MS
//     opens the existing file for reading with SHARE (none, r, rw or rwd),
//     prints "held", keeps it MS milliseconds, closes it and prints "let go".
//   fileholder watch FOLDER PREFIX SHARE MS [DELAY [SECONDS [OTHER]]]
//     for SECONDS (60 unless given), opens each file that appears in FOLDER
//     with a name beginning with PREFIX, DELAY ms after it is seen, and holds
//     it MS ms; prints "held NAME" for each. Files already there are left be.
// Both try again for two seconds while the file's writer shares nothing.
//     With OTHER, holds that file instead whenever such a file appears: the
//     old output, say, once the converter has begun its new one.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

bool ShareMode(const std::string& text, DWORD& share)
{
    if (text == "none") {
        share = 0;
    } else if (text == "r") {
        share = FILE_SHARE_READ;
    } else if (text == "rw") {
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    } else if (text == "rwd") {
        share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    } else {
        return false;
    }
    return true;
}

std::wstring Wide(const char* text)
{
    wchar_t wide[MAX_PATH * 2];
    return MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, MAX_PATH * 2) ? wide : L"";
}

// Like an indexer, it tries again while the file's writer keeps it from
// sharing, for two seconds at most.
HANDLE OpenHeld(const std::wstring& path, DWORD share)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 2000 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) {
                break;
            }
            Sleep(1);
        }
    }
    return file;
}

int Hold(const std::wstring& path, DWORD share, DWORD ms)
{
    const HANDLE file = OpenHeld(path, share);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "fileholder: cannot open the file (error %lu)\n", GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(ms);
    CloseHandle(file);
    std::puts("let go");
    std::fflush(stdout);
    return 0;
}

int Watch(const std::wstring& folder, const std::wstring& prefix, DWORD share, DWORD ms, DWORD delay, DWORD seconds,
          const std::wstring& other)
{
    const std::wstring pattern = folder + L"\\" + prefix + L"*";
    std::set<std::wstring> seen;
    bool first = true;
    // Woken by the folder's changes rather than polling it, which would
    // keep Wine's server too busy to serve the programs it watches.
    const HANDLE changes = FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    const ULONGLONG end = GetTickCount64() + seconds * 1000ull;
    while (GetTickCount64() < end) {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!seen.insert(found.cFileName).second || first) {
                    continue;
                }
                Sleep(delay);
                const HANDLE file = OpenHeld(other.empty() ? folder + L"\\" + found.cFileName : other, share);
                if (file != INVALID_HANDLE_VALUE) {
                    std::printf("held %ls\n", found.cFileName);
                    std::fflush(stdout);
                    Sleep(ms);
                    CloseHandle(file);
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        first = false;
        if (changes == INVALID_HANDLE_VALUE) {
            Sleep(1);
        } else if (WaitForSingleObject(changes, 100) == WAIT_OBJECT_0) {
            FindNextChangeNotification(changes);
        }
    }
    if (changes != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(changes);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    DWORD share = 0;
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "hold" && argc == 5 && ShareMode(argv[3], share)) {
        return Hold(Wide(argv[2]), share, std::strtoul(argv[4], nullptr, 10));
    }
    if (command == "watch" && argc >= 6 && argc <= 9 && ShareMode(argv[4], share)) {
        return Watch(Wide(argv[2]), Wide(argv[3]), share, std::strtoul(argv[5], nullptr, 10),
                     argc > 6 ? std::strtoul(argv[6], nullptr, 10) : 0,
                     argc > 7 ? std::strtoul(argv[7], nullptr, 10) : 60, argc > 8 ? Wide(argv[8]) : L"");
    }
    std::fputs("usage: fileholder hold PATH none|r|rw|rwd MS\n"
               "       fileholder watch FOLDER PREFIX none|r|rw|rwd MS [DELAY [SECONDS [OTHER]]]\n",
               stderr);
    return 2;
}
