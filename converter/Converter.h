// One conversion: the spool BMP to the job's JPEG destination.
#pragma once

#include "converter/base/ConverterCalls.h"
#include "converter/base/ConverterStatus.h"

#include <cstdint>

namespace vkexf {

// VkExf_Entry's work (see VkExf.h); on failure the reason is recorded for
// VkExf_LastError.
Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath, int32_t quality);
// The same through the given system calls, which tests make fail.
Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath, int32_t quality,
                          const ConverterCalls& calls);

} // namespace vkexf
