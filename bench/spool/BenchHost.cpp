#include "bench/spool/BenchHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vlexif::bench {

void Fail(const std::string& what)
{
    std::fprintf(stderr, "spool_bench: %s\n", what.c_str());
    std::exit(1);
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
