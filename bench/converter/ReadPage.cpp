// Reads a file as the converter reads its spool file, a megabyte at a time
// at given offsets on one thread, and prints the seconds it took: the part
// of a conversion that a compressor working from memory never pays.
//   read_page.exe FILE
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_page FILE\n");
        return 2;
    }
    const vlexif::UniqueFile file(
        CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        std::fprintf(stderr, "read_page: cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    // Touched once, as the converter's strip buffer is after its first strip.
    std::vector<char> buffer(1u << 20);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    uint64_t offset = 0;
    for (;;) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, &at) || read == 0) {
            break;
        }
        offset += read;
    }
    QueryPerformanceCounter(&end);
    std::printf("seconds %.4f\nbytes %llu\n", double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart),
                static_cast<unsigned long long>(offset));
    return 0;
}
