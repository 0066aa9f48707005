#include "pixels/PaletteArea.h"

#include "interface/SpoolLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vlexif {

uint32_t PaletteSlotsNamed(const uint8_t* hostEntries, uint32_t count)
{
    uint32_t slots = count;
    for (uint32_t i = 0; i < count; ++i) {
        slots = std::max<uint32_t>(slots, hostEntries[std::size_t{4} * i] + 1u);
    }
    return slots;
}

void PlaceFileEntries(const uint8_t* hostEntries, uint32_t count, uint32_t entrySize, uint32_t slots, uint8_t* area)
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = hostEntries + std::size_t{4} * i;
        if (entry[0] >= slots) {
            continue;
        }
        // A core entry is an info entry without its reserved byte.
        const bmp::InfoPaletteEntry colour{entry[3], entry[2], entry[1], 0};
        std::memcpy(area + std::size_t{entry[0]} * entrySize, &colour, entrySize);
    }
}

} // namespace vlexif
