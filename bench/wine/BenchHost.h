// What the benchmark plays of the host: a registry key and a temporary folder
// of its own, the host's records, a stopwatch, and a stop on any failure.
#pragma once

#include "entry/HostInterface.h"

#include <string>
#include <vector>

namespace vlexif::bench {

// Prints what failed and ends the process: a figure from a failed job means nothing.
[[noreturn]] void Fail(const std::string& what);
inline void Expect(bool condition, const std::string& what)
{
    if (!condition) {
        Fail(what);
    }
}

// A key under HKEY_CURRENT_USER of this process's own, deleted with all below it.
class BenchKey {
public:
    BenchKey();
    ~BenchKey();
    BenchKey(const BenchKey&) = delete;
    BenchKey& operator=(const BenchKey&) = delete;

    const std::string& Path() const { return path; }
    // The subkey the plug-in keeps its job values in.
    std::string ExifPath() const { return path + "\\EXIF"; }
    void SetDword(const char* name, uint32_t value) const;
    void SetBinary(const char* name, const void* data, uint32_t size) const;
    // Every job value gone, so that each run starts alike.
    void ClearExif() const;

private:
    void SetValue(const char* name, DWORD type, const void* data, uint32_t size) const;

    std::string path;
};

// A fresh folder that TMP and TEMP point at while it lives: the spool files
// go there and nowhere else.
class BenchTempDir {
public:
    BenchTempDir();
    ~BenchTempDir();
    BenchTempDir(const BenchTempDir&) = delete;
    BenchTempDir& operator=(const BenchTempDir&) = delete;

private:
    std::string path;
};

// The host's three records, laid out as the host lays them.
struct HostRecords {
    explicit HostRecords(const BenchKey& key);
    void DescribeImage(int32_t width, int32_t height, uint32_t samples, uint32_t bits, uint32_t colourType);
    // Entries of four bytes: index, red, green, blue.
    void SetPalette(const std::vector<uint8_t>& entries, uint16_t count);
    void SetBlock(int32_t bytesPerLine, int32_t width, int32_t lines, int32_t linesBefore, const uint8_t* data);

    HostParams params;
    JobRecord job;
    alignas(4) uint8_t image[8 + 4 * 256];
};

class Stopwatch {
public:
    Stopwatch();
    void Restart();
    double Seconds() const;

private:
    LARGE_INTEGER start;
};

// -1 when the file cannot be found.
int64_t FileSize(const char* path);

double Median(std::vector<double> values);

} // namespace vlexif::bench
