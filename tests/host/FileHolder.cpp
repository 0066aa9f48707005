// Holds files the way other programs on a user's desktop do for a moment
// (search indexers, sync and backup clients, thumbnailers, the user-mode
// parts of virus scanners), for the end-to-end cases of held files.
//   fileholder hold PATH SHARE MS
//     opens the existing file for reading with SHARE (none, r, rw or rwd),
//     prints "held", keeps it MS milliseconds, closes it and prints "let go".
//   fileholder watch FOLDER PREFIX SHARE MS [DELAY [SECONDS]]
//     for SECONDS (60 unless given), opens each file that appears in FOLDER
//     with a name beginning with PREFIX, DELAY ms after it is seen, and holds
//     it MS ms; prints "held NAME" for each. Files already there are left be.
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

HANDLE OpenHeld(const std::wstring& path, DWORD share)
{
    return CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

int Watch(const std::wstring& folder, const std::wstring& prefix, DWORD share, DWORD ms, DWORD delay, DWORD seconds)
{
    const std::wstring pattern = folder + L"\\" + prefix + L"*";
    std::set<std::wstring> seen;
    bool first = true;
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
                const HANDLE file = OpenHeld(folder + L"\\" + found.cFileName, share);
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
        Sleep(1);
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
    if (command == "watch" && argc >= 6 && argc <= 8 && ShareMode(argv[4], share)) {
        return Watch(Wide(argv[2]), Wide(argv[3]), share, std::strtoul(argv[5], nullptr, 10),
                     argc > 6 ? std::strtoul(argv[6], nullptr, 10) : 0,
                     argc > 7 ? std::strtoul(argv[7], nullptr, 10) : 60);
    }
    std::fputs("usage: fileholder hold PATH none|r|rw|rwd MS\n"
               "       fileholder watch FOLDER PREFIX none|r|rw|rwd MS [DELAY [SECONDS]]\n",
               stderr);
    return 2;
}
