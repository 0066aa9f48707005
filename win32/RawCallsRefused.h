// Given to every source of the DLLs' layers by the build
// (cmake/Layers.cmake): a file, search, free-space, memory or loader call
// made past the system-call table (SystemCalls.h) does not compile. Tests
// reach the failures of those calls only through the table, so a call past
// it is a failure path no test can reach. The table's own file is exempt.
#pragma once

// The table names the calls: declared before they are refused.
#include "win32/SystemCalls.h"
#include "win32/UniqueHandle.h"

#ifndef VLEXIF_SYSTEM_CALLS_TABLE
// The names without A or W are macros defined before the poison, whose
// expansions it would not catch: gone first.
#undef CreateFile
#undef DeleteFile
#undef GetFileAttributes
#undef GetFileAttributesEx
#undef FindFirstFile
#undef FindNextFile
#undef MoveFile
#undef MoveFileEx
#undef ReplaceFile
#undef GetTempPath
#undef GetTempFileName
#undef GetDiskFreeSpace
#undef GetDiskFreeSpaceEx
#undef LoadLibraryEx
#undef GetModuleFileName
#pragma GCC poison CreateFileA CreateFileW ReadFile WriteFile FlushFileBuffers SetFilePointer SetFilePointerEx
#pragma GCC poison GetFileSize GetFileSizeEx GetFileType GetFileAttributesA GetFileAttributesW GetFileAttributesExA
#pragma GCC poison GetFileAttributesExW FindFirstFileA FindFirstFileW FindNextFileA FindNextFileW FindClose
#pragma GCC poison DeleteFileA DeleteFileW MoveFileA MoveFileW MoveFileExA MoveFileExW ReplaceFileA ReplaceFileW
#pragma GCC poison SetFileInformationByHandle GetTempPathA GetTempPathW GetTempFileNameA GetTempFileNameW
#pragma GCC poison GetDiskFreeSpaceA GetDiskFreeSpaceW GetDiskFreeSpaceExA GetDiskFreeSpaceExW
#pragma GCC poison GlobalAlloc GlobalReAlloc GlobalLock GlobalUnlock GlobalFree HeapAlloc HeapReAlloc HeapFree
#pragma GCC poison LoadLibraryA LoadLibraryW LoadLibraryExA LoadLibraryExW GetModuleFileNameA GetModuleFileNameW
#endif
