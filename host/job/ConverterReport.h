// VkExf.dll held by the host for a job's duration. The plug-in loads and
// unloads the converter inside Finish; holding it as well keeps the
// converter's account of a failure alive until the host asks for it.
#pragma once

#include "win32/UniqueHandle.h"

#include <cstdint>
#include <string>

namespace vlscan {

class ConverterReport {
public:
    // Loads VkExf.dll from the program's folder, if it is there.
    ConverterReport();

    // The converter's reason for its last failure, in UTF-8; empty when it
    // gave none, or the DLL or its VkExf_LastError export is missing.
    std::string LastError() const;
    // The status of the converter's last call, 0 when unknown.
    uint32_t LastStatus() const;

private:
    vlexif::UniqueModule module;
};

} // namespace vlscan
