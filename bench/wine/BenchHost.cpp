#include "bench/wine/BenchHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vlexif::bench {

namespace {

std::string UniqueName(const char* stem)
{
    return std::string(stem) + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
}

} // namespace

void Fail(const std::string& what)
{
    std::fprintf(stderr, "spool_bench: %s\n", what.c_str());
    std::exit(1);
}

BenchKey::BenchKey() : path("Software\\VlexifBench\\" + UniqueName("key")) {}

BenchKey::~BenchKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

void BenchKey::SetValue(const char* name, DWORD type, const void* data, uint32_t size) const
{
    HKEY key = nullptr;
    Expect(RegCreateKeyExA(HKEY_CURRENT_USER, ExifPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                           nullptr) == ERROR_SUCCESS,
           "cannot create " + ExifPath());
    const LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    Expect(result == ERROR_SUCCESS, std::string("cannot set ") + name);
}

void BenchKey::SetDword(const char* name, uint32_t value) const
{
    SetValue(name, REG_DWORD, &value, sizeof value);
}

void BenchKey::SetBinary(const char* name, const void* data, uint32_t size) const
{
    SetValue(name, REG_BINARY, data, size);
}

void BenchKey::ClearExif() const
{
    RegDeleteTreeA(HKEY_CURRENT_USER, ExifPath().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, ExifPath().c_str());
}

BenchTempDir::BenchTempDir()
{
    char base[MAX_PATH] = {};
    Expect(GetTempPathA(sizeof base, base) != 0, "no temporary folder");
    path = std::string(base) + UniqueName("vlexif-bench") + "\\";
    Expect(CreateDirectoryA(path.c_str(), nullptr) != 0, "cannot create " + path);
    SetEnvironmentVariableA("TMP", path.c_str());
    SetEnvironmentVariableA("TEMP", path.c_str());
}

BenchTempDir::~BenchTempDir()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((path + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

HostRecords::HostRecords(const BenchKey& key)
{
    std::memset(&params, 0, sizeof params);
    std::memset(&job, 0, sizeof job);
    std::memset(image, 0, sizeof image);
    params.job = &job;
    job.image = reinterpret_cast<ImageRecord*>(image);
    std::strncpy(params.registry.keyPath, key.Path().c_str(), sizeof params.registry.keyPath - 1);
    params.registry.root = HKEY_CURRENT_USER;
}

void HostRecords::DescribeImage(int32_t width, int32_t height, uint32_t samples, uint32_t bits,
                                uint32_t colourType)
{
    std::memset(image, 0, sizeof image);
    auto& view = *reinterpret_cast<ImageDescription*>(image);
    view.xDpi = 600;
    view.yDpi = 600;
    view.width = width;
    view.height = height;
    view.samplesPerPixel = samples;
    view.bitsPerPixel = bits;
    view.colourType = colourType;
}

void HostRecords::SetPalette(const std::vector<uint8_t>& entries, uint16_t count)
{
    auto& view = *reinterpret_cast<PaletteView*>(image);
    view.count = count;
    std::memcpy(image + 8, entries.data(), std::min(entries.size(), sizeof image - 8));
}

void HostRecords::SetBlock(int32_t bytesPerLine, int32_t width, int32_t lines, int32_t linesBefore,
                           const uint8_t* data)
{
    auto& view = *reinterpret_cast<BlockView*>(image);
    view.bytesPerLine = bytesPerLine;
    view.width = width;
    view.lines = lines;
    view.linesBefore = linesBefore;
    view.data = data;
}

Stopwatch::Stopwatch()
{
    Restart();
}

void Stopwatch::Restart()
{
    QueryPerformanceCounter(&start);
}

double Stopwatch::Seconds() const
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int64_t FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
        return -1;
    }
    return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace vlexif::bench
