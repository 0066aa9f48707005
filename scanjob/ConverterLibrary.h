// The converter library VkExf.dll, loaded from beside the plug-in for the
// length of one operation.
#pragma once

#include "interface/HostInterface.h"
#include "win32/UniqueHandle.h"

namespace vlexif {

class ConverterLibrary {
public:
    [[nodiscard]] bool Load(HMODULE ownModule);
    // Unloads the library, if loaded.
    void Reset() { module.Reset(); }
    // True when the converter's entry exists and reports success in the low
    // 16 bits of its result.
    [[nodiscard]] bool Convert(const char* versionText, const JobRecord* job, const char* spoolPath, int32_t quality);

private:
    UniqueModule module;
};

} // namespace vlexif
