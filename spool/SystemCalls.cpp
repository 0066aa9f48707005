#include "spool/SystemCalls.h"

namespace vlexif {

namespace {

const SystemCalls RealCalls = {
    ::CreateFileA,       ::WriteFile,   ::SetFilePointer, ::CloseHandle,      ::GetFileType,      ::GetFileSize,
    ::ReadFile,          ::DeleteFileA, ::GetTempPathA,   ::GetTempFileNameA, ::GetModuleHandleA, ::GetProcAddress,
    ::GetDiskFreeSpaceA, ::GlobalAlloc, ::GlobalLock,     ::GlobalFree,
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

bool CloseSpoolHandle(HANDLE handle)
{
    return calls.closeHandle(handle) != FALSE;
}

} // namespace vlexif
