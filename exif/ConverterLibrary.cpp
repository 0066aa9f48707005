#include "exif/ConverterLibrary.h"

#include "entry/Module.h"

namespace vlexif {

namespace {

using ConverterEntry = uint32_t(__cdecl*)(const char*, const JobRecord*, const char*, int32_t);

} // namespace

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
    const auto entry = reinterpret_cast<ConverterEntry>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "VkExf_Entry")));
    if (!entry) {
        return false;
    }
    return (entry(versionText, job, spoolPath, quality) & 0xFFFF) == 0;
}

} // namespace vlexif
