// One conversion: the spool BMP to the job's JPEG destination.
#pragma once

#include <cstdint>

namespace vkexf {

// VkExf_Entry's work (see VkExf.h); throws ConverterError or std::bad_alloc.
void ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                        int32_t quality);

} // namespace vkexf
