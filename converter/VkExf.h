// The converter's export, for the plug-in and hosts that load VkExf.dll.
// Converts the 24-bit BMP at spoolPath into the JPEG the job record names
// (see JobDestination.h), with versionText as the EXIF Software and quality
// clamped to 1..100. The low 16 bits of the result are 0 on success, else a
// status from ConverterStatus.h. The spool file is only read.
#pragma once

#include <cstdint>

extern "C" uint32_t __cdecl VkExf_Entry(const char* versionText, const void* jobRecord,
                                        const char* spoolPath, int32_t quality);

using VkExfEntryProc = decltype(&VkExf_Entry);
constexpr char kVkExfEntryName[] = "VkExf_Entry";
