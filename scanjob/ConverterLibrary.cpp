#include "scanjob/ConverterLibrary.h"

#include "interface/VkExf.h"
#include "win32/SiblingPath.h"

namespace vlexif {

ConverterLibrary::~ConverterLibrary()
{
    Release();
}

bool ConverterLibrary::Load(HMODULE ownModule)
{
    module = nullptr;
    char path[MAX_PATH];
    if (!SiblingPath(ownModule, "VkExf.dll", path)) {
        return false;
    }
    module = LoadLibraryA(path);
    return module != nullptr;
}

bool ConverterLibrary::Release()
{
    if (module) {
        FreeLibrary(module);
        module = nullptr;
    }
    return true;
}

bool ConverterLibrary::Convert(const char* versionText, const JobRecord* job, const char* spoolPath,
                               int32_t quality)
{
    const auto entry = reinterpret_cast<VkExfEntryProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, kVkExfEntryName)));
    if (!entry) {
        return false;
    }
    return (entry(versionText, job, spoolPath, quality) & 0xFFFF) == 0;
}

} // namespace vlexif
