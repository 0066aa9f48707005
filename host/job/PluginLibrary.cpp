#include "host/job/PluginLibrary.h"

#include "host/console/WidePath.h"
#include "host/job/Clock.h"
#include "win32/Companion.h"

namespace vlscan {

bool PluginLibrary::Load(std::string& error)
{
    const vlexif::CompanionPath wide(nullptr, L"VLEXIF.dll");
    if (!wide.Get()) {
        error = "cannot name VLEXIF.dll beside the program";
        return false;
    }
    module.Reset(vlexif::LoadByFullPath(wide.Get()));
    const DWORD code = GetLastError();
    const std::string path = Utf8Text(wide.Get());
    if (!module.Valid()) {
        const std::string beside = "; VLEXIF.dll, Vlexifres.dll and VkExf.dll must sit in the folder of vlscan.exe";
        if (GetFileAttributesW(wide.Get()) == INVALID_FILE_ATTRIBUTES) {
            error = std::string("the plug-in ") + path + " is missing" + beside;
        } else if (code == ERROR_BAD_EXE_FORMAT) {
            error = std::string("cannot load ") + path + ": it is not a 32-bit Windows DLL" + beside;
        } else {
            error = std::string("cannot load ") + path + " (error " + std::to_string(code) + ")" + beside;
        }
        return false;
    }
    entry = reinterpret_cast<vlexif::VLScanEntryProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), vlexif::VLScanEntryName)));
    if (!entry) {
        error = path + " has no " + vlexif::VLScanEntryName;
        return false;
    }
    return true;
}

vlexif::PluginStatus PluginLibrary::Call(vlexif::PluginCommand command, vlexif::HostParams& params)
{
    const double start = NowSeconds();
    const uint32_t result = entry(static_cast<uint32_t>(command), &params);
    seconds[command] += NowSeconds() - start;
    return static_cast<vlexif::PluginStatus>(result & 0xFFFF);
}

double PluginLibrary::SecondsIn(vlexif::PluginCommand command) const
{
    return seconds[command];
}

double PluginLibrary::SecondsInAll() const
{
    double total = 0;
    for (const double s : seconds) {
        total += s;
    }
    return total;
}

} // namespace vlscan
