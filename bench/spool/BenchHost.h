// What the benchmark needs beside the tests' host support: a stopwatch, file
// sizes, and a stop on any failure.
#pragma once

#include "interface/HostInterface.h"

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
