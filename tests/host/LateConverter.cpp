// A stand-in for VkExf.dll that is still writing when the console's Ctrl+C
// comes: it announces itself with a file beside the destination, waits for
// the interrupt, and only then writes a non-empty destination and reports
// success, as a converter that could not be stopped would.
#include "interface/JobDestination.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

HANDLE interrupted = CreateEventA(nullptr, TRUE, FALSE, nullptr);

// Registered after the host's handler, so called before it: it declines the
// event, and the host's handler sees it next.
BOOL WINAPI NoteInterrupt(DWORD)
{
    SetEvent(interrupted);
    return FALSE;
}

bool WriteFileNamed(const std::string& path, const char* text)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool wrote = WriteFile(file, text, lstrlenA(text), &written, nullptr) != 0;
    return CloseHandle(file) && wrote;
}

} // namespace

extern "C" __declspec(dllexport) uint32_t __cdecl VkExf_Entry(const char*, const void* jobRecord, const char*, int32_t)
{
    const std::string destination = static_cast<const vkexf::JobDestination*>(jobRecord)->outputPath;
    const std::string announcement = destination + ".converting";
    SetConsoleCtrlHandler(NoteInterrupt, TRUE);
    const bool came =
        WriteFileNamed(announcement, "converting") && WaitForSingleObject(interrupted, 60000) == WAIT_OBJECT_0;
    SetConsoleCtrlHandler(NoteInterrupt, FALSE);
    DeleteFileA(announcement.c_str());
    // Time for the host's handler, which runs once this one has returned.
    Sleep(500);
    return came && WriteFileNamed(destination, "the page, written after the interrupt") ? 0 : 1;
}
