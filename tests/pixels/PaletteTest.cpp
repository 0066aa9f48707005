#include "pixels/PaletteArea.h"
#include "pixels/PaletteTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlexif {
namespace {

// Host entries: index, red, green, blue.
const std::vector<uint8_t> TwoEntries = {1, 255, 0, 0, 0, 0, 0, 255};

TEST(PlaceFileEntries, InfoAndCoreLayoutsPlaceByIndex)
{
    std::vector<uint8_t> info(8, 0xEE);
    PlaceFileEntries(TwoEntries.data(), 2, 4, 2, info.data());
    EXPECT_EQ(info, (std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0, 0xFF, 0}));
    std::vector<uint8_t> core(6, 0);
    PlaceFileEntries(TwoEntries.data(), 2, 3, 2, core.data());
    EXPECT_EQ(core, (std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0xFF}));
}

TEST(PlaceFileEntries, AnIndexWithoutASlotIsDroppedAndLaterEntriesWin)
{
    const std::vector<uint8_t> entries = {0, 1, 2, 3, 200, 9, 9, 9, 0, 4, 5, 6};
    std::vector<uint8_t> area(8 + 4, 0xAA); // two slots, then a guard
    PlaceFileEntries(entries.data(), 3, 4, 2, area.data());
    EXPECT_EQ(area, (std::vector<uint8_t>{6, 5, 4, 0, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
}

TEST(PaletteSlotsNamed, CoverTheHighestIndexNamed)
{
    const std::vector<uint8_t> entries = {0, 1, 2, 3, 9, 1, 2, 3};
    EXPECT_EQ(PaletteSlotsNamed(entries.data(), 2), 10u);
    EXPECT_EQ(PaletteSlotsNamed(entries.data(), 1), 1u);
    EXPECT_EQ(PaletteSlotsNamed(entries.data(), 0), 0u);
}

TEST(PlaceHostEntries, StoresThePrefixUpToTheHighestIndexAndNeverMoreThanTheTable)
{
    PaletteEntry table[PaletteCapacity] = {};
    const std::vector<uint8_t> entries = {0, 10, 20, 30, 255, 1, 2, 3, 9, 0, 0, 0};
    EXPECT_EQ(PlaceHostEntries(entries.data(), 2, table), 256u);
    EXPECT_EQ(PlaceHostEntries(entries.data() + 8, 1, table), 10u);
    EXPECT_EQ(PlaceHostEntries(entries.data(), 0, table), 0u);
    EXPECT_EQ(table[0].blue, 30);
    EXPECT_EQ(table[0].red, 10);
    EXPECT_EQ(table[255].green, 2);
    EXPECT_EQ(table[1].red, 0);

    std::vector<uint8_t> many(4 * 300);
    for (size_t i = 0; i < 300; ++i) {
        many[4 * i] = static_cast<uint8_t>(i);
        many[4 * i + 1] = static_cast<uint8_t>(i / 256 + 1);
    }
    EXPECT_EQ(PlaceHostEntries(many.data(), 300, table), 256u);
    EXPECT_EQ(table[43].red, 2); // entry 299 named index 43 after entry 43 did
    EXPECT_EQ(LoadableEntryCount(0xFFFFFFFF), 256u);
}

} // namespace
} // namespace vlexif
