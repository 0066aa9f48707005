// One host's job of a small grey page through VLEXIF.dll, a step at a time,
// as two processes of one host run theirs under the same key. Each page's
// pixels tell its shade, so a page that reaches the converter with another
// job's rows is told apart.
#pragma once

#include "tests/support/TestSupport.h"

#include <memory>

namespace vlexif::test {

class GreyPageHost {
public:
    static constexpr int32_t Width = 16;
    static constexpr int32_t Height = 8;

    GreyPageHost(const PluginLibrary& plugin, const std::string& keyPath, uint8_t shade, HWND owner);

    uint32_t Call(PluginCommand command);
    // Describe, the format check and the begin; the first failing status.
    uint32_t Begin();
    // Lines [first, end) in blocks of one line; the first failing status.
    uint32_t WriteLines(int32_t first, int32_t end);
    // The 24-bit spool file the whole page makes.
    std::vector<uint8_t> ExpectedSpool() const;

private:
    const PluginLibrary& plugin;
    std::unique_ptr<HostRecords> records;
    std::vector<uint8_t> lines;
};

} // namespace vlexif::test
