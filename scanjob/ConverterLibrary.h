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
    // The low 16 bits of the converter's result: 0 for success, else its
    // status; StatusCreateFailed's value when the entry is missing.
    [[nodiscard]] uint32_t Convert(const char* versionText, const JobRecord* job, const char* spoolPath,
                                   int32_t quality);

private:
    UniqueModule module;
};

} // namespace vlexif
