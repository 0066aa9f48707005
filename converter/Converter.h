// One conversion: the spool BMP to the job's JPEG destination.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "interface/VkExf.h"

#include <cstdint>

namespace vkexf {

// VkExf_Entry's work (see VkExf.h); on failure the reason is recorded for
// VkExf_LastError. Every file and memory call goes through the module's
// system-call table (win32/SystemCalls.h), which tests make fail.
Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath, int32_t quality,
                          VkExfColourMode colourMode = VkExfColourAuto);

// VkExf_EntryWithOptions's work: the record checked and read, then as above.
Status ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                          const VkExfOptions* options);

} // namespace vkexf
