// Runs one conversion through the real VkExf.dll, as the plug-in would, and
// prints its status, time and memory, and the converter's reason when it
// fails: for the benchmark, the EXIF check and the kill check. With
// --processors N the process may use only its first N processors, which is
// how many workers the converter then starts. With --colour auto, exact or
// always the conversion goes through VkExf_EntryWithOptions with that
// colour mode.
//   vkexf-run [--processors N] [--colour MODE] DLL SPOOL.bmp OUT.jpg QUALITY [MAKE [MODEL]]
#include "interface/JobDestination.h"
#include "interface/VkExf.h"

#include "win32/Companion.h"
#include "win32/UniqueHandle.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char VersionText[] = "VkExf test driver 1.0";

template <size_t N>
[[nodiscard]] bool CopyField(char (&field)[N], const char* text)
{
    if (std::strlen(text) >= N) {
        return false;
    }
    std::strcpy(field, text);
    return true;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

bool FreeArguments(LPWSTR* arguments)
{
    return LocalFree(arguments) == nullptr;
}

size_t KiB(size_t bytes)
{
    return bytes / 1024;
}

// User and kernel time of every thread of the process so far: with other
// programs on the processors, the wall time says less.
double ProcessorSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return 0;
    }
    const auto ticks = [](const FILETIME& t) { return double(uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime); };
    return (ticks(kernel) + ticks(user)) / 1e7;
}

// Keeps the lowest `count` processors of the process's affinity mask.
[[nodiscard]] bool LimitProcessors(int count)
{
    DWORD_PTR process = 0, system = 0;
    if (count < 1 || !GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
        return false;
    }
    DWORD_PTR kept = 0;
    for (DWORD_PTR rest = process; rest && count > 0; rest &= rest - 1, --count) {
        kept |= rest & (~rest + 1);
    }
    return SetProcessAffinityMask(GetCurrentProcess(), kept) != FALSE;
}

// The DLL named by argument `index`, loaded by its full path as the plug-in
// loads it: from the wide command line, whatever the folder's name.
HMODULE LoadDll(int index)
{
    int count = 0;
    const vlexif::UniqueHandle<LPWSTR*, FreeArguments> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    static wchar_t full[32768];
    if (!arguments.Valid() || index >= count || GetFullPathNameW(arguments.Get()[index], 32768, full, nullptr) == 0) {
        return nullptr;
    }
    return vlexif::LoadByFullPath(full);
}

// The VkExfColourMode of --colour's word; -2 for none.
int ColourModeNamed(const char* word)
{
    const char* const names[] = {"auto", "exact", "always"};
    for (int mode = 0; mode < 3; ++mode) {
        if (std::strcmp(word, names[mode]) == 0) {
            return mode;
        }
    }
    return -2;
}

} // namespace

int main(int argc, char** argv)
{
    int dllIndex = 1;
    if (argc > 2 && std::strcmp(argv[1], "--processors") == 0) {
        if (!LimitProcessors(std::atoi(argv[2]))) {
            std::fprintf(stderr, "vkexf-run: cannot limit the process to %s processors\n", argv[2]);
            return 2;
        }
        argc -= 2;
        argv += 2;
        dllIndex += 2;
    }
    int colourMode = -1; // VkExf_Entry
    if (argc > 2 && std::strcmp(argv[1], "--colour") == 0) {
        colourMode = ColourModeNamed(argv[2]);
        argc -= 2;
        argv += 2;
        dllIndex += 2;
    }
    if (argc < 5 || argc > 7 || colourMode < -1) {
        std::fprintf(stderr,
                     "usage: vkexf-run [--processors N] [--colour auto|exact|always] DLL SPOOL.bmp OUT.jpg "
                     "QUALITY [MAKE [MODEL]]\n");
        return 2;
    }
    vkexf::JobDestination job = {};
    if (!CopyField(job.outputPath, argv[3]) || (argc > 5 && !CopyField(job.make, argv[5])) ||
        (argc > 6 && !CopyField(job.model, argv[6]))) {
        std::fprintf(stderr, "vkexf-run: text too long for the job record\n");
        return 2;
    }
    const vlexif::UniqueModule dll(LoadDll(dllIndex));
    auto entry = dll.Valid()
        ? reinterpret_cast<VkExfEntryProc>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), VkExfEntryName)))
        : nullptr;
    auto entryWithOptions = dll.Valid() ? reinterpret_cast<VkExfEntryWithOptionsProc>(reinterpret_cast<void*>(
                                              GetProcAddress(dll.Get(), VkExfEntryWithOptionsName)))
                                        : nullptr;
    auto lastError = dll.Valid()
        ? reinterpret_cast<VkExfLastErrorProc>(reinterpret_cast<void*>(GetProcAddress(dll.Get(), VkExfLastErrorName)))
        : nullptr;
    if (!entry || !lastError || (colourMode >= 0 && !entryWithOptions)) {
        std::fprintf(stderr, "vkexf-run: cannot load %s and %s from %s\n",
                     colourMode >= 0 ? VkExfEntryWithOptionsName : VkExfEntryName, VkExfLastErrorName, argv[1]);
        return 2;
    }
    VkExfOptions options = {};
    options.size = sizeof options;
    options.quality = std::atoi(argv[4]);
    options.colourMode = static_cast<uint32_t>(colourMode);

    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    LARGE_INTEGER start, end;
    const double processorBefore = ProcessorSeconds();
    QueryPerformanceCounter(&start);
    const uint32_t status = (colourMode >= 0 ? entryWithOptions(VersionText, &job, argv[2], &options)
                                             : entry(VersionText, &job, argv[2], options.quality)) &
        0xFFFF;
    QueryPerformanceCounter(&end);
    const double processor = ProcessorSeconds() - processorBefore;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);

    std::printf("status %u\nseconds %.3f\nprocessor_seconds %.3f\n", status, Seconds(start, end), processor);
    std::printf("working_set_before_kib %zu\npeak_working_set_kib %zu\n", KiB(before.WorkingSetSize),
                KiB(after.PeakWorkingSetSize));
    std::printf("private_before_kib %zu\npeak_private_kib %zu\n", KiB(before.PagefileUsage),
                KiB(after.PeakPagefileUsage));
    if (status != 0) {
        char reason[1024];
        lastError(reason, sizeof reason);
        std::fprintf(stderr, "vkexf-run: %s\n", reason);
    }
    return status == 0 ? 0 : 1;
}
