#include "scanjob/ConverterLibrary.h"

#include "interface/VkExf.h"
#include "win32/Companion.h"

namespace vlexif {

namespace {

template <typename Proc>
Proc Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

bool ConverterLibrary::Load(HMODULE ownModule)
{
    module.Reset(LoadCompanion(ownModule, L"VkExf.dll"));
    return module.Valid();
}

uint32_t ConverterLibrary::Convert(const char* versionText, const JobRecord* job, const char* spoolPath,
                                   const VkExfOptions& options)
{
    if (const auto withOptions = Export<VkExfEntryWithOptionsProc>(module.Get(), VkExfEntryWithOptionsName)) {
        return withOptions(versionText, job, spoolPath, &options) & 0xFFFF;
    }
    const auto entry = Export<VkExfEntryProc>(module.Get(), VkExfEntryName);
    if (!entry) {
        return StatusCreateFailed;
    }
    return entry(versionText, job, spoolPath, options.quality) & 0xFFFF;
}

} // namespace vlexif
