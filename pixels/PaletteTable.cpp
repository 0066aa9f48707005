#include "pixels/PaletteTable.h"

#include "pixels/PaletteArea.h"

namespace vlexif {

uint32_t PlaceHostEntries(const uint8_t* hostEntries, uint32_t count, PaletteEntry (&table)[PaletteCapacity])
{
    // A table entry is a 4-byte palette-area slot.
    PlaceFileEntries(hostEntries, count, sizeof(PaletteEntry), PaletteCapacity, reinterpret_cast<uint8_t*>(table));
    return LoadableEntryCount(PaletteSlotsNamed(hostEntries, count));
}

uint32_t LoadableEntryCount(uint32_t storedCount)
{
    return storedCount < PaletteCapacity ? storedCount : PaletteCapacity;
}

} // namespace vlexif
