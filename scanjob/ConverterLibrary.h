// The converter library VkExf.dll, loaded from beside the plug-in for the
// length of one operation.
#pragma once

#include "interface/HostInterface.h"
#include "interface/VkExf.h"
#include "win32/UniqueHandle.h"

namespace vlexif {

class ConverterLibrary {
public:
    [[nodiscard]] bool Load(HMODULE ownModule);
    // Unloads the library, if loaded.
    void Reset() { module.Reset(); }
    // The low 16 bits of the converter's result: 0 for success, else its
    // status; StatusCreateFailed's value when the entry is missing. A
    // converter without the entry that takes options gets the quality alone
    // and judges colour as it always has.
    [[nodiscard]] uint32_t Convert(const char* versionText, const JobRecord* job, const char* spoolPath,
                                   const VkExfOptions& options);

private:
    UniqueModule module;
};

} // namespace vlexif
