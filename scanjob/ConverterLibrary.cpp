#include "scanjob/ConverterLibrary.h"

#include "interface/VkExf.h"
#include "win32/Companion.h"

namespace vlexif {

bool ConverterLibrary::Load(HMODULE ownModule)
{
    module.Reset(LoadCompanion(ownModule, L"VkExf.dll"));
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
