// The DLL's exports. Nothing in the converter throws: every step returns a
// status and records its reason, which VkExf_LastError hands out.
#include "converter/Converter.h"
#include "converter/base/LastFailure.h"
#include "interface/VkExf.h"

extern "C" uint32_t __cdecl VkExf_Entry(const char* versionText, const void* jobRecord, const char* spoolPath,
                                        int32_t quality)
{
    vkexf::ClearLastFailure();
    return vkexf::ConvertSpoolToJpeg(versionText, jobRecord, spoolPath, quality);
}

extern "C" uint32_t __cdecl VkExf_EntryWithOptions(const char* versionText, const void* jobRecord,
                                                   const char* spoolPath, const VkExfOptions* options)
{
    vkexf::ClearLastFailure();
    return vkexf::ConvertSpoolToJpeg(versionText, jobRecord, spoolPath, options);
}

extern "C" uint32_t __cdecl VkExf_LastError(char* text, uint32_t size)
{
    return vkexf::CopyLastFailure(text, size);
}

extern "C" uint32_t __cdecl VkExf_LastStatus()
{
    return vkexf::LastFailureStatus();
}
