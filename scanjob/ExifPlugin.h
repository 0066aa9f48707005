// The plug-in the host talks to: every accepted format spooled as 24-bit
// rows, the finished file handed to the converter library.
#pragma once

#include "pixels/PaletteTable.h"
#include "scanjob/ConverterLibrary.h"
#include "spool/BmpSpoolPlugin.h"

namespace vlexif {

class ExifPlugin : public BmpSpoolPlugin {
public:
    ExifPlugin() = default;
    ~ExifPlugin() override = default;

    PluginStatus Describe() override;
    PluginStatus Configure() override;
    PluginStatus About() override;
    PluginStatus BeginImage() override;
    PluginStatus SetPalette() override;
    PluginStatus WriteBlock() override;
    PluginStatus Abort() override;

    PluginStatus CheckFormat() override;
    PluginStatus Finish();

private:
    // Binds the store and makes this process the job's owner; refused, with
    // words of its own and before anything is touched, while another process
    // that still runs owns the job.
    PluginStatus TakeJob();
    // The converter must be loadable for the commands that offer the plug-in
    // to the user; it is unloaded again at once.
    [[nodiscard]] bool ConverterAvailable();
    // False for a page wider or taller than a JPEG holds, which is then
    // refused in words that name the limit, before any line is sent.
    [[nodiscard]] bool PageFitsJpeg();
    // The summary text at HostParams 0x081: formatted with the rate, then
    // the stored colour mode's words appended.
    void WriteSummary();
    // Reloads the palette the job stored; absent values leave what this
    // object holds. A count past the table, or a palette of another type or
    // of another length than its count says, ends the job.
    PluginStatus LoadPalette();

    int32_t compressRate = 75;
    uint32_t paletteCount = 0;
    PaletteEntry palette[PaletteCapacity] = {};
    ConverterLibrary converter;
};

} // namespace vlexif
