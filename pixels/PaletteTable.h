// The 256-entry palette table through which palette, grey-16 and bilevel
// lines become 24-bit rows. Platform-free.
#pragma once

#include <cstdint>

namespace vlexif {

struct PaletteEntry {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t zero;
};
static_assert(sizeof(PaletteEntry) == 4, "a palette entry is a BMP colour-table entry");

constexpr uint32_t PaletteCapacity = 256;

// Places the host's entries (4 bytes each: index, red, green, blue) by their
// own index; a later entry for the same index wins, slots not named keep their
// colour. Returns the entry count to store: enough of the table to hold every
// index named (a host's count says how many entries it gave, not how far
// their indices reach), at most the table's capacity.
uint32_t PlaceHostEntries(const uint8_t* hostEntries, uint32_t count, PaletteEntry (&table)[PaletteCapacity]);

// The entry count to load: whatever the store says, never past the table.
uint32_t LoadableEntryCount(uint32_t storedCount);

} // namespace vlexif
