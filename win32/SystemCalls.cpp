#include "win32/SystemCalls.h"

namespace vlexif {

namespace {

const SystemCalls RealCalls = {
    ::CreateFileA,
    ::CreateFileW,
    ::ReadFile,
    ::WriteFile,
    ::FlushFileBuffers,
    ::SetFilePointerEx,
    ::CloseHandle,
    ::GetFileType,
    ::GetFileSizeEx,
    ::GetFileAttributesA,
    ::GetFileAttributesW,
    ::DeleteFileA,
    ::DeleteFileW,
    ::SetFileInformationByHandle,
    ::GetTempPathA,
    ::GetTempFileNameA,
    ::GetDiskFreeSpaceExA,
    ::GlobalAlloc,
    ::GlobalLock,
    ::GlobalFree,
    ::HeapAlloc,
    ::Sleep,
    ::GetModuleFileNameW,
    ::LoadLibraryExW,
    ::OpenProcess,
};

SystemCalls calls = RealCalls;

} // namespace

SystemCalls& Os()
{
    return calls;
}

const SystemCalls& RealSystemCalls()
{
    return RealCalls;
}

bool CloseThroughTable(HANDLE handle)
{
    return calls.closeHandle(handle) != FALSE;
}

} // namespace vlexif
