#include "scanjob/ConverterLibrary.h"

#include "interface/VkExf.h"
#include "win32/SiblingPath.h"

namespace vlexif {

bool ConverterLibrary::Load(HMODULE ownModule)
{
    module.Reset();
    char path[MAX_PATH];
    if (!SiblingPath(ownModule, "VkExf.dll", path)) {
        return false;
    }
    module.Reset(LoadLibraryA(path));
    return module.Valid();
}

uint32_t ConverterLibrary::Convert(const char* versionText, const JobRecord* job, const char* spoolPath,
                                   int32_t quality)
{
    const auto entry =
        reinterpret_cast<VkExfEntryProc>(reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), VkExfEntryName)));
    if (!entry) {
        return StatusCreateFailed;
    }
    return entry(versionText, job, spoolPath, quality) & 0xFFFF;
}

} // namespace vlexif
