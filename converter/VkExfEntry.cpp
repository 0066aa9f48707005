// The DLL's one export. Nothing may escape it but a status: exceptions stop here.
#include "converter/Converter.h"
#include "converter/ConverterStatus.h"
#include "converter/VkExf.h"

#include <new>

extern "C" uint32_t __cdecl VkExf_Entry(const char* versionText, const void* jobRecord,
                                        const char* spoolPath, int32_t quality)
{
    try {
        vkexf::ConvertSpoolToJpeg(versionText, jobRecord, spoolPath, quality);
        return vkexf::StatusOk;
    } catch (const vkexf::ConverterError& error) {
        return error.status();
    } catch (const std::bad_alloc&) {
        return vkexf::StatusNoMemory;
    } catch (...) {
        return vkexf::StatusWriteFailed;
    }
}
