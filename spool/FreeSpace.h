// Free space for the spool file, and the one rule that judges it.
#pragma once

#include <cstdint>

namespace vlexif {

constexpr uint64_t FreeSpaceUnknown = 0xFFFFFFFFFFFFFFFFull;

// The bytes this user may still write in the folder that holds `spoolPath`
// (quotas, mount points and shares count: the folder's own volume, not its
// drive's root), or FreeSpaceUnknown.
uint64_t QueryFreeSpace(const char* spoolPath);

// An undetermined figure passes: a volume that cannot say is taken as roomy.
constexpr bool HasRoomFor(uint64_t freeBytes, uint64_t neededBytes)
{
    return freeBytes == FreeSpaceUnknown || freeBytes >= neededBytes;
}

} // namespace vlexif
