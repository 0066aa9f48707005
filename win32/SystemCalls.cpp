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
    ::GetFileAttributesExA,
    ::FindFirstFileW,
    ::FindNextFileW,
    ::FindClose,
    ::DeleteFileA,
    ::DeleteFileW,
    ::SetFileInformationByHandle,
    ::GetTempPathA,
    ::GetTempFileNameA,
    ::GetDiskFreeSpaceExA,
    ::GlobalAlloc,
    ::GlobalLock,
    ::GlobalUnlock,
    ::GlobalFree,
    ::HeapAlloc,
    ::HeapFree,
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

bool CloseFile(HANDLE file)
{
    return calls.closeHandle(file) != FALSE;
}

bool FreeHeapBlock(void* address)
{
    return calls.heapFree(GetProcessHeap(), 0, address) != FALSE;
}

bool FreeLockedGlobal(void* address)
{
    const HGLOBAL handle = GlobalHandle(address);
    calls.globalUnlock(handle);
    return calls.globalFree(handle) == nullptr;
}

bool CloseFind(HANDLE search)
{
    return calls.findClose(search) != FALSE;
}

} // namespace vlexif
