// The DLL: its one export, where nothing may escape but a status (exceptions
// stop here), and the unloading that gives back what the C++ runtime kept.
#include "converter/Converter.h"
#include "converter/ConverterStatus.h"
#include "converter/VkExf.h"
#include "runtime/CxxRuntime.h"

#include <windows.h>

#include <new>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // The plug-in loads and unloads the converter for every job.
    if (reason == DLL_PROCESS_DETACH) {
        ReleaseCxxRuntimePool(reserved);
    }
    return TRUE;
}

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
