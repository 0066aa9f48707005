// The texts the host prints while and after a scan: the progress bar and
// the closing summary. Platform-free.
#pragma once

#include <cstdint>
#include <string>

namespace vlscan {

// "[##########----------]  50%  12/24 blocks", the bar `barWidth` wide.
std::string ProgressBar(uint32_t done, uint32_t total, uint32_t barWidth);

struct ScanSummary {
    uint32_t width;
    uint32_t height;
    std::string format;
    uint32_t blocks;
    double seconds;
    uint64_t outputBytes;
};

// "1200x900 rgb24, 15 blocks, 0.84 s, 245760 bytes written"
std::string SummaryLine(const ScanSummary& summary);

} // namespace vlscan
