// Palette placement from arbitrary host lists: into the 256-entry table
// (PlaceHostEntries) and into a native spool file's palette area sized the
// way SetPalette sizes it (PaletteSlotsNamed, PlaceFileEntries). Every entry
// lands on its own index, the last one for an index wins, nothing is written
// outside the table or area, and slots no entry names keep their bytes.
#include "fuzz/HostValues.h"
#include "pixels/PaletteArea.h"
#include "pixels/PaletteTable.h"
#include "pixels/PixelFormat.h"
#include "tests/support/FormatReference.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vlexif::fuzz {
namespace {

constexpr uint8_t Untouched = 0xCD;

// The colour each index ends up with, -1 for an index no entry names.
std::array<int32_t, 256> LastColours(const uint8_t* entries, uint32_t count)
{
    std::array<int32_t, 256> last;
    last.fill(-1);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = entries + 4 * size_t{i};
        last[entry[0]] = entry[1] << 16 | entry[2] << 8 | entry[3];
    }
    return last;
}

void CheckArea(const uint8_t* entries, uint32_t count, uint32_t entrySize, uint32_t slots,
               const std::array<int32_t, 256>& last)
{
    if (slots == 0) {
        return;
    }
    const size_t bytes = size_t{slots} * entrySize;
    const std::unique_ptr<uint8_t[]> area(new uint8_t[bytes]);
    std::memset(area.get(), Untouched, bytes);
    PlaceFileEntries(entries, count, entrySize, slots, area.get());
    for (uint32_t s = 0; s < slots; ++s) {
        const uint8_t* slot = area.get() + size_t{s} * entrySize;
        if (s > 255 || last[s] < 0) {
            for (uint32_t b = 0; b < entrySize; ++b) {
                Require(slot[b] == Untouched, "a slot no entry names keeps its bytes");
            }
            continue;
        }
        Require(slot[0] == (last[s] & 0xFF) && slot[1] == (last[s] >> 8 & 0xFF) && slot[2] == (last[s] >> 16),
                "a named slot holds blue, green, red of the last entry for it");
        Require(entrySize != bmp::InfoPaletteEntrySize || slot[3] == 0, "a 4-byte slot ends in zero");
    }
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif;
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    // The host's count is 16 bits, but past the table's 256 indices more
    // entries only repeat indices; the list is exactly that long.
    const uint32_t count = in.ConsumeIntegralInRange<uint32_t>(0, 600);
    const uint32_t entrySize = in.ConsumeBool() ? bmp::InfoPaletteEntrySize : bmp::CorePaletteEntrySize;
    const uint32_t anySlots = in.ConsumeIntegralInRange<uint32_t>(0, 300);
    const auto entries = ExactBlock(in, 4 * size_t{count});
    const std::array<int32_t, 256> last = LastColours(entries.get(), count);

    PaletteEntry table[PaletteCapacity];
    std::memset(table, Untouched, sizeof table);
    const uint32_t stored = PlaceHostEntries(entries.get(), count, table);
    Require(stored <= PaletteCapacity && stored >= std::min<uint32_t>(count, PaletteCapacity),
            "the stored count covers the host's, at most the table's capacity");
    for (uint32_t i = 0; i < 256; ++i) {
        Require(last[i] < 0 || i < stored, "the stored prefix holds every index named");
    }
    for (uint32_t i = 0; i < PaletteCapacity; ++i) {
        const PaletteEntry& e = table[i];
        if (last[i] < 0) {
            Require(e.blue == Untouched && e.green == Untouched && e.red == Untouched && e.zero == Untouched,
                    "a table entry no host entry names keeps its colour");
        } else {
            Require(e.blue == (last[i] & 0xFF) && e.green == (last[i] >> 8 & 0xFF) && e.red == (last[i] >> 16) &&
                        e.zero == 0,
                    "a named table entry holds the last host entry for it");
        }
    }

    const uint32_t named = PaletteSlotsNamed(entries.get(), count);
    for (uint32_t i = 0; i < 256; ++i) {
        Require(last[i] < 0 || i < named, "every named index has a slot");
    }
    for (const test::FormatReference& format : test::AcceptedFormats) {
        CheckArea(entries.get(), count, entrySize, std::min(named, PaletteEntries(format.code)), last);
    }
    CheckArea(entries.get(), count, entrySize, anySlots, last);
    return 0;
}
