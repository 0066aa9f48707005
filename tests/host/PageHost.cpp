// A host that makes its page up a block at a time, for pages larger than
// vlscan can hold in memory: it loads VLEXIF.dll from its own folder as
// vlscan does and runs one 8-bit grey job through it into a JPEG.
//   pagehost OUTPUT WIDTH HEIGHT [begin]
// With "begin" only the page's last block is sent, the one that lands right
// behind the header, and the job is aborted. The first command that fails is
// named with its status; the exit status is 0 when every command succeeded.
#include "host/job/HostRecords.h"
#include "host/job/PluginLibrary.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace vlexif;
using vlscan::HostRecords;
using vlscan::PluginLibrary;

constexpr int32_t BlockLines = 64;

bool Run(PluginLibrary& plugin, HostRecords& records, PluginCommand command, const char* name)
{
    const PluginStatus status = plugin.Call(command, records.Params());
    if (status != StatusOk) {
        std::printf("%s: status %u\n", name, static_cast<unsigned>(status));
        return false;
    }
    return true;
}

// Lines `first` to `first + lines` of the page: a ramp across, bands down.
void MakeLines(std::vector<uint8_t>& data, int32_t width, int32_t first, int32_t lines)
{
    for (int32_t r = 0; r < lines; ++r) {
        uint8_t* line = data.data() + static_cast<size_t>(r) * width;
        const auto band = static_cast<uint8_t>((first + r) / 256 * 37);
        for (int32_t x = 0; x < width; ++x) {
            line[x] = static_cast<uint8_t>(band + x / 256);
        }
    }
}

void OfferBlock(HostRecords& records, const std::vector<uint8_t>& data, int32_t width, int32_t first, int32_t lines)
{
    auto& view = *reinterpret_cast<BlockView*>(records.Params().job->image);
    view = BlockView{};
    view.bytesPerLine = width;
    view.width = width;
    view.lines = lines;
    view.linesBefore = first;
    view.data = data.data();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || (argc == 5 && std::string(argv[4]) != "begin") || argc > 5) {
        std::fprintf(stderr, "usage: pagehost OUTPUT WIDTH HEIGHT [begin]\n");
        return 2;
    }
    const int32_t width = std::atoi(argv[2]);
    const int32_t height = std::atoi(argv[3]);
    const bool beginOnly = argc == 5;
    PluginLibrary plugin;
    std::string error;
    HostRecords records;
    if (!plugin.Load(error) || !records.SetDestination(argv[1], "VLEXIF", "pagehost")) {
        std::fprintf(stderr, "%s\n", error.empty() ? "the output path is too long" : error.c_str());
        return 1;
    }
    const DWORD start = GetTickCount();
    if (!Run(plugin, records, CmdDescribe, "CmdDescribe")) {
        return 1;
    }
    records.DescribeImage(vlscan::InfoOf(vlscan::HostFormat::Gray8), static_cast<uint32_t>(width),
                          static_cast<uint32_t>(height), 300);
    if (!Run(plugin, records, CmdCheckFormat, "CmdCheckFormat") ||
        !Run(plugin, records, CmdBeginImage, "CmdBeginImage")) {
        return 1;
    }
    const DWORD begun = GetTickCount();
    std::vector<uint8_t> data(static_cast<size_t>(width) * BlockLines);
    for (int32_t first = beginOnly ? height - std::min(height, BlockLines) : 0; first < height; first += BlockLines) {
        const int32_t lines = std::min(BlockLines, height - first);
        MakeLines(data, width, first, lines);
        OfferBlock(records, data, width, first, lines);
        if (!Run(plugin, records, CmdWriteBlock, "CmdWriteBlock")) {
            static_cast<void>(plugin.Call(CmdAbort, records.Params()));
            return 1;
        }
    }
    const DWORD written = GetTickCount();
    if (beginOnly) {
        return Run(plugin, records, CmdAbort, "CmdAbort") ? 0 : 1;
    }
    if (!Run(plugin, records, CmdFinish, "CmdFinish")) {
        return 1;
    }
    std::printf("begin %.1f s, blocks %.1f s, finish %.1f s\n", (begun - start) / 1000.0, (written - begun) / 1000.0,
                (GetTickCount() - written) / 1000.0);
    return 0;
}
