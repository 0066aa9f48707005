// Seconds on the performance counter, for the host's timings.
#pragma once

#include <windows.h>

namespace vlscan {

inline double NowSeconds()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace vlscan
