// Free space on the spool file's volume, and the one rule that judges it.
#pragma once

#include <cstdint>

namespace vlexif {

constexpr uint64_t FreeSpaceUnknown = 0xFFFFFFFFFFFFFFFFull;

// Total free bytes on the volume whose root is the path's first three
// characters, or FreeSpaceUnknown.
uint64_t QueryFreeSpace(const char* path);

// An undetermined figure passes: a volume that cannot say is taken as roomy.
constexpr bool HasRoomFor(uint64_t freeBytes, uint32_t neededBytes)
{
    return freeBytes == FreeSpaceUnknown || freeBytes >= neededBytes;
}

} // namespace vlexif
