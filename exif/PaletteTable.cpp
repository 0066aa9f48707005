#include "exif/PaletteTable.h"

#include "spool/PaletteArea.h"

#include <cstddef>

namespace vlexif {

uint32_t PlaceHostEntries(const uint8_t* hostEntries, uint32_t count,
                          PaletteEntry (&table)[PaletteCapacity])
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = hostEntries + std::size_t{4} * i;
        table[entry[0]] = PaletteEntry{entry[3], entry[2], entry[1], 0};
    }
    return LoadableEntryCount(PaletteSlotsNamed(hostEntries, count));
}

uint32_t LoadableEntryCount(uint32_t storedCount)
{
    return storedCount < PaletteCapacity ? storedCount : PaletteCapacity;
}

} // namespace vlexif
