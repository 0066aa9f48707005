// The operating-system calls behind every file the plug-in and the converter
// touch, behind free space and memory blocks, behind the loading of the
// files shipped together, and behind the look at the process that owns a job.
// Production code reaches them through this one table per module, which holds
// the real Win32 functions; tests swap in failing ones to reach the failure
// paths that the real platform cannot produce on demand: a short write, a
// failed rename, a file another program holds, a module path longer than any
// folder here, a loader of Vista's, a process we may not look at.
#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

namespace vlexif {

struct SystemCalls {
    decltype(&::CreateFileA) createFileA;
    decltype(&::CreateFileW) createFileW;
    decltype(&::ReadFile) readFile;
    decltype(&::WriteFile) writeFile;
    decltype(&::FlushFileBuffers) flushFileBuffers;
    decltype(&::SetFilePointerEx) setFilePointerEx;
    decltype(&::CloseHandle) closeHandle;
    decltype(&::GetFileType) getFileType;
    decltype(&::GetFileSizeEx) getFileSizeEx;
    decltype(&::GetFileAttributesA) getFileAttributesA;
    decltype(&::GetFileAttributesW) getFileAttributesW;
    decltype(&::GetFileAttributesExA) getFileAttributesExA;
    decltype(&::FindFirstFileW) findFirstFileW;
    decltype(&::FindNextFileW) findNextFileW;
    decltype(&::FindClose) findClose;
    decltype(&::DeleteFileA) deleteFileA;
    decltype(&::DeleteFileW) deleteFileW;
    // Renames and deletion marks, through the handle that wrote the file.
    decltype(&::SetFileInformationByHandle) setFileInformationByHandle;
    decltype(&::GetTempPathA) getTempPathA;
    decltype(&::GetTempFileNameA) getTempFileNameA;
    decltype(&::GetDiskFreeSpaceExA) getDiskFreeSpaceExA;
    decltype(&::GlobalAlloc) globalAlloc;
    decltype(&::GlobalLock) globalLock;
    decltype(&::GlobalUnlock) globalUnlock;
    decltype(&::GlobalFree) globalFree;
    decltype(&::HeapAlloc) heapAlloc;
    decltype(&::HeapFree) heapFree;
    // The waits between tries on a file another program holds.
    decltype(&::Sleep) sleep;
    // Where the shipped files find each other, and how they load them.
    decltype(&::GetModuleFileNameW) getModuleFileNameW;
    decltype(&::LoadLibraryExW) loadLibraryExW;
    // Another process looked at: whether the one that owns a job still runs.
    decltype(&::OpenProcess) openProcess;
};

// The table in force; the Win32 functions unless a test replaced them.
SystemCalls& Os();

// The untouched Win32 table, for restoring after a test.
const SystemCalls& RealSystemCalls();

} // namespace vlexif
