#include "spool/SystemCalls.h"

namespace vlexif {

namespace {

const SystemCalls realCalls = {
    ::CreateFileA,    ::WriteFile,         ::SetFilePointer, ::CloseHandle,      ::GetFileType,
    ::GetFileSize,    ::ReadFile,          ::DeleteFileA,    ::GetTempPathA,     ::GetTempFileNameA,
    ::GetModuleHandleA, ::GetProcAddress,  ::GetDiskFreeSpaceA, ::GlobalAlloc,   ::GlobalLock,
    ::GlobalHandle,   ::GlobalUnlock,      ::GlobalFree,
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

} // namespace vlexif
