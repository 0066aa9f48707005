#include "spool/FreeSpace.h"

#include "win32/SystemCalls.h"

namespace vlexif {

uint64_t QueryFreeSpace(const char* path)
{
    char root[4] = {};
    for (int i = 0; i < 3 && path[i] != '\0'; ++i) {
        root[i] = path[i];
    }
    // Looked up on every call: older systems lack the 64-bit variant.
    using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    const auto freeSpaceEx = reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void (*)()>(
        Os().getProcAddress(Os().getModuleHandleA("KERNEL32.DLL"), "GetDiskFreeSpaceExA")));
    if (freeSpaceEx) {
        ULARGE_INTEGER available;
        ULARGE_INTEGER total;
        ULARGE_INTEGER totalFree;
        if (!freeSpaceEx(root, &available, &total, &totalFree)) {
            return FreeSpaceUnknown;
        }
        return totalFree.QuadPart;
    }
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!Os().getDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
        return FreeSpaceUnknown;
    }
    return uint64_t{sectorsPerCluster} * bytesPerSector * freeClusters;
}

} // namespace vlexif
