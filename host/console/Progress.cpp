#include "host/console/Progress.h"

#include <cstdio>

namespace vlscan {

std::string ProgressBar(uint32_t done, uint32_t total, uint32_t barWidth)
{
    const uint64_t filled = total ? static_cast<uint64_t>(done) * barWidth / total : barWidth;
    const uint64_t percent = total ? static_cast<uint64_t>(done) * 100 / total : 100;
    std::string bar = "[" + std::string(filled, '#') + std::string(barWidth - filled, '-') + "]";
    char tail[64];
    std::snprintf(tail, sizeof tail, " %3u%%  %u/%u blocks", static_cast<unsigned>(percent), done, total);
    return bar + tail;
}

std::string SummaryLine(const ScanSummary& summary)
{
    char line[256];
    std::snprintf(line, sizeof line, "%ux%u %s, %u blocks, %.2f s, %llu bytes written", summary.width, summary.height,
                  summary.format.c_str(), summary.blocks, summary.seconds,
                  static_cast<unsigned long long>(summary.outputBytes));
    return line;
}

} // namespace vlscan
