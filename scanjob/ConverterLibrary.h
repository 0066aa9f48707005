// Holder of the converter library VkExf.dll, loaded from beside the plug-in
// for the length of one operation.
#pragma once

#include "interface/HostInterface.h"

namespace vlexif {

class ConverterLibrary {
public:
    ConverterLibrary() = default;
    ConverterLibrary(const ConverterLibrary&) = delete;
    ConverterLibrary& operator=(const ConverterLibrary&) = delete;
    virtual ~ConverterLibrary();

    bool Load(HMODULE ownModule);
    bool Release();
    // True when the converter's entry exists and reports success in the low
    // 16 bits of its result.
    bool Convert(const char* versionText, const JobRecord* job, const char* spoolPath, int32_t quality);

private:
    HMODULE module = nullptr;
};

} // namespace vlexif
