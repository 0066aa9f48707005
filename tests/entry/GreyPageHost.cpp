#include "tests/entry/GreyPageHost.h"

#include "interface/SpoolLayout.h"
#include "tests/support/HostFormats.h"

#include <cstring>

namespace vlexif::test {

namespace {

constexpr uint32_t Dpi = 200;

} // namespace

GreyPageHost::GreyPageHost(const PluginLibrary& library, const std::string& keyPath, uint8_t shade, HWND owner)
    : plugin(library), records(std::make_unique<HostRecords>()), lines(Width * Height)
{
    std::strncpy(records->params.registry.keyPath, keyPath.c_str(), sizeof records->params.registry.keyPath - 1);
    records->params.registry.root = HKEY_CURRENT_USER;
    records->params.owner = owner;
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<uint8_t>(shade + i);
    }
}

uint32_t GreyPageHost::Call(PluginCommand command)
{
    return plugin.Call(command, records->params);
}

uint32_t GreyPageHost::Begin()
{
    uint32_t status = Call(CmdDescribe);
    records->DescribeImage(Dpi, Width, Height, 1, 8, 1);
    for (const PluginCommand command : {CmdCheckFormat, CmdBeginImage}) {
        status = status == StatusOk ? Call(command) : status;
    }
    return status;
}

uint32_t GreyPageHost::WriteLines(int32_t first, int32_t end)
{
    uint32_t status = StatusOk;
    for (int32_t line = first; line < end && status == StatusOk; ++line) {
        records->SetBlock(Width, Width, 1, line, lines.data() + line * Width);
        status = Call(CmdWriteBlock);
    }
    return status;
}

std::vector<uint8_t> GreyPageHost::ExpectedSpool() const
{
    std::vector<uint8_t> spool = BlackBmp24(Width, Height, Dpi);
    uint8_t* rows = spool.data() + bmp::InfoHeadSize;
    for (int32_t line = 0; line < Height; ++line) {
        for (int32_t x = 0; x < Width; ++x) {
            std::memset(rows + (Height - 1 - line) * Width * 3 + x * 3, lines[line * Width + x], 3);
        }
    }
    return spool;
}

} // namespace vlexif::test
