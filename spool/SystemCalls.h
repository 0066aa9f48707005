// The operating-system calls behind the spool file, free space and memory
// blocks. Production code reaches them through this one table, which holds the
// real Win32 functions; tests swap in failing ones to reach the failure paths
// that the real platform cannot produce on demand.
#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

namespace vlexif {

struct SystemCalls {
    decltype(&::CreateFileA) createFileA;
    decltype(&::WriteFile) writeFile;
    decltype(&::SetFilePointer) setFilePointer;
    decltype(&::CloseHandle) closeHandle;
    decltype(&::GetFileType) getFileType;
    decltype(&::GetFileSize) getFileSize;
    decltype(&::ReadFile) readFile;
    decltype(&::DeleteFileA) deleteFileA;
    decltype(&::GetTempPathA) getTempPathA;
    decltype(&::GetTempFileNameA) getTempFileNameA;
    decltype(&::GetModuleHandleA) getModuleHandleA;
    decltype(&::GetProcAddress) getProcAddress;
    decltype(&::GetDiskFreeSpaceA) getDiskFreeSpaceA;
    decltype(&::GlobalAlloc) globalAlloc;
    decltype(&::GlobalLock) globalLock;
    decltype(&::GlobalFree) globalFree;
};

// The table in force; the Win32 functions unless a test replaced them.
SystemCalls& Os();

// The untouched Win32 table, for restoring after a test.
const SystemCalls& RealSystemCalls();

// Closes through the table, so that a test can make a close fail.
bool CloseSpoolHandle(HANDLE handle);

// A file handle of the spool's, closed through the table.
using SpoolHandle = UniqueHandle<HANDLE, CloseSpoolHandle, InvalidHandleBits>;

} // namespace vlexif
