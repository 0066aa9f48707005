// The module's start and stop, and the one exported entry through which the
// host reaches every operation.
#include "entry/StatusReporter.h"
#include "interface/HostInterface.h"
#include "scanjob/ExifPlugin.h"
#include "win32/Companion.h"
#include "win32/Module.h"
#include "win32/UniqueHandle.h"

#include <new>

namespace {

// The single plug-in object of this module's lifetime, created by the first call.
vlexif::ExifPlugin* plugin = nullptr;

void LoadResourceLibrary(HMODULE own)
{
    vlexif::SetModuleHandles(own, vlexif::LoadCompanion(own, L"Vlexifres.dll", vlexif::ResourceLibraryLoad));
}

void ReleaseModule()
{
    delete plugin;
    plugin = nullptr;
    const HMODULE resources = vlexif::ResourceModule();
    // Unloaded as its holder goes; a module that is this one is not ours to unload.
    const vlexif::UniqueModule loaded(resources != vlexif::OwnModule() ? resources : nullptr);
    vlexif::SetModuleHandles(vlexif::OwnModule(), nullptr);
}

vlexif::PluginStatus RunCommand(vlexif::ExifPlugin& exif, int16_t command)
{
    // Six operations go through the interface, so another concrete spool
    // writer behind it would change them. Commands that write the job record
    // or read the image record cannot run on a host whose records lack them.
    vlexif::ScanPlugin& scan = exif;
    const bool job = exif.HasJobRecord();
    const bool image = exif.HasImageRecord();
    switch (command) {
    case vlexif::CmdDescribe:
        return job ? scan.Describe() : vlexif::StatusBadFormat;
    case vlexif::CmdConfigure:
        return scan.Configure();
    case vlexif::CmdCheckFormat:
        return image ? exif.CheckFormat() : vlexif::StatusBadFormat;
    case vlexif::CmdSetPalette:
        return image ? scan.SetPalette() : vlexif::StatusBadFormat;
    case vlexif::CmdBeginImage:
        return image ? scan.BeginImage() : vlexif::StatusBadFormat;
    case vlexif::CmdWriteBlock:
        return image ? scan.WriteBlock() : vlexif::StatusBadFormat;
    case vlexif::CmdFinish:
        return exif.Finish();
    case vlexif::CmdAbort:
        return exif.Abort();
    case vlexif::CmdAbout:
        return scan.About();
    default:
        return vlexif::StatusBadCommand;
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        plugin = nullptr;
        LoadResourceLibrary(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        ReleaseModule();
    }
    return TRUE;
}

extern "C" uint32_t __cdecl VLScanEntry(uint32_t command, vlexif::HostParams* params)
{
    if (!vlexif::ResourceModule()) {
        return vlexif::StatusNoResources;
    }
    // Without a parameter block there is neither an owner window nor a job
    // to run a command on.
    const HWND owner = params ? params->owner : nullptr;
    if (!plugin) {
        plugin = new (std::nothrow) vlexif::ExifPlugin;
        if (!plugin) {
            vlexif::ReportStatus(owner, vlexif::StatusNoMemory);
            return vlexif::StatusNoMemory;
        }
    }
    const int16_t code = static_cast<int16_t>(command & 0xFFFF);
    vlexif::PluginStatus status = vlexif::StatusBadCommand;
    if (code >= vlexif::CmdDescribe && code <= vlexif::CmdAbout) {
        if (params) {
            plugin->BindHost(params);
            status = RunCommand(*plugin, code);
        } else {
            status = vlexif::StatusBadFormat;
        }
    }
    vlexif::ReportStatus(owner, status, plugin->FailureMessage());
    return status;
}
