#include "host/PluginLibrary.h"

#include <cstring>

namespace vlscan {

namespace {

// The full path of `name` in the folder of the running program.
bool ProgramSibling(const char* name, char (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    char* slash = std::strrchr(path, '\\');
    char* tail = slash ? slash + 1 : path;
    if (static_cast<size_t>(path + MAX_PATH - tail) <= std::strlen(name)) {
        return false;
    }
    std::strcpy(tail, name);
    return true;
}

double Now()
{
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

PluginLibrary::~PluginLibrary()
{
    if (module) {
        FreeLibrary(module);
    }
}

bool PluginLibrary::Load(std::string& error)
{
    char path[MAX_PATH];
    if (!ProgramSibling("VLEXIF.dll", path)) {
        error = "cannot name VLEXIF.dll beside the program";
        return false;
    }
    module = LoadLibraryA(path);
    if (!module) {
        error = std::string("cannot load ") + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, "VLScanEntry")));
    if (!entry) {
        error = std::string(path) + " has no VLScanEntry";
        return false;
    }
    return true;
}

vlexif::PluginStatus PluginLibrary::Call(vlexif::PluginCommand command, vlexif::HostParams& params)
{
    const double start = Now();
    const uint32_t result = entry(static_cast<uint32_t>(command), &params);
    seconds[command] += Now() - start;
    return static_cast<vlexif::PluginStatus>(result & 0xFFFF);
}

double PluginLibrary::SecondsIn(vlexif::PluginCommand command) const
{
    return seconds[command];
}

double PluginLibrary::SecondsInAll() const
{
    double total = 0;
    for (const double s : seconds) {
        total += s;
    }
    return total;
}

} // namespace vlscan
