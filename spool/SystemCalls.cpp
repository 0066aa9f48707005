#include "spool/SystemCalls.h"

namespace vlexif {

namespace {

const SystemCalls realCalls = {
    ::CreateFileA,    ::WriteFile,         ::SetFilePointer, ::CloseHandle,      ::GetFileType,
    ::GetFileSize,    ::ReadFile,          ::DeleteFileA,    ::GetTempPathA,     ::GetTempFileNameA,
    ::GetModuleHandleA, ::GetProcAddress,  ::GetDiskFreeSpaceA, ::GlobalAlloc,   ::GlobalLock,
    ::GlobalFree,
};

SystemCalls calls = realCalls;

} // namespace

SystemCalls& Os()
{
    return calls;
}

const SystemCalls& RealSystemCalls()
{
    return realCalls;
}

bool CloseSpoolHandle(HANDLE handle)
{
    return calls.CloseHandle(handle) != FALSE;
}

} // namespace vlexif
