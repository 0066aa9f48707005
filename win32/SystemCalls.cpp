#include "win32/SystemCalls.h"

namespace vlexif {

namespace {

const SystemCalls RealCalls = {
    ::CreateFileA,        ::CreateFileW,
    ::ReadFile,           ::WriteFile,
    ::FlushFileBuffers,   ::SetFilePointer,
    ::CloseHandle,        ::GetFileType,
    ::GetFileSize,        ::GetFileAttributesA,
    ::GetFileAttributesW, ::DeleteFileA,
    ::DeleteFileW,        ::SetFileInformationByHandle,
    ::GetTempPathA,       ::GetTempFileNameA,
    ::GetModuleHandleA,   ::GetProcAddress,
    ::GetDiskFreeSpaceA,  ::GlobalAlloc,
    ::GlobalLock,         ::GlobalFree,
    ::HeapAlloc,          ::Sleep,
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
