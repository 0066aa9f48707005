// The palette area of a native-depth spool file, filled from the host's
// palette list. Platform-free.
#pragma once

#include <cstdint>

namespace vlexif {

// Slots needed for the host's list: its count, or more when it names a higher
// index; 0 for an empty list.
uint32_t PaletteSlotsNamed(const uint8_t* hostEntries, uint32_t count);

// Entries of the host's list (4 bytes each: index, red, green, blue) are
// placed by their own index into `slots` entries of `entrySize` bytes (4: blue,
// green, red, 0; 3: blue, green, red). An index with no slot is dropped; a
// later entry for the same index wins.
void PlaceFileEntries(const uint8_t* hostEntries, uint32_t count, uint32_t entrySize, uint32_t slots, uint8_t* area);

} // namespace vlexif
