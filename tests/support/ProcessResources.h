// What a Windows process holds that a DLL load or a call could keep: heap
// memory and TLS indexes, read by tests before and after.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vlexif::test {

// Bytes in busy blocks across every heap of the process.
inline uint64_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    uint64_t total = 0;
    for (DWORD h = 0; h < count; ++h) {
        if (!HeapLock(heaps[h])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[h], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                total += entry.cbData;
            }
        }
        HeapUnlock(heaps[h]);
    }
    return total;
}

// The lowest TLS index free now: it moves when something keeps one.
inline DWORD FirstFreeTlsIndex()
{
    const DWORD index = TlsAlloc();
    TlsFree(index);
    return index;
}

// Threads running in this process now.
inline size_t ThreadsOfThisProcess()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    size_t count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snapshot);
    return count;
}

} // namespace vlexif::test
