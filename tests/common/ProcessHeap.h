// How much heap memory a Windows process holds: what tests read before and
// after loading a DLL or making a call to see whether anything was kept.
#pragma once

#include <windows.h>

#include <algorithm>
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

} // namespace vlexif::test
