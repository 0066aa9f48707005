// VLEXIF.dll loaded from the host program's own folder, as a real host
// loads its plug-ins, with the time spent inside each command.
#pragma once

#include "interface/HostInterface.h"
#include "win32/UniqueHandle.h"

#include <string>

namespace vlscan {

class PluginLibrary {
public:
    // False, with the reason in `error` (UTF-8), when the DLL or its entry is
    // missing.
    [[nodiscard]] bool Load(std::string& error);

    // Runs one command; the status is the low 16 bits of the entry's result.
    vlexif::PluginStatus Call(vlexif::PluginCommand command, vlexif::HostParams& params);

    // Seconds spent inside the entry for this command, summed over calls.
    double SecondsIn(vlexif::PluginCommand command) const;
    double SecondsInAll() const;

private:
    vlexif::UniqueModule module;
    vlexif::VLScanEntryProc entry = nullptr;
    double seconds[vlexif::CmdAbout + 1] = {};
};

} // namespace vlscan
