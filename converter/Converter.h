// One conversion: the spool BMP to the job's JPEG destination.
#pragma once

#include <cstdint>

namespace vkexf {

// Throws ConverterError (and std::bad_alloc); see VkExf_Entry for the arguments.
void ConvertSpoolToJpeg(const char* versionText, const void* jobRecord, const char* spoolPath,
                        int32_t quality);

} // namespace vkexf
