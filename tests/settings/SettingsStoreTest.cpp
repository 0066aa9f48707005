#include "settings/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vlexif {
namespace {

using test::TestRegistryKey;

class SettingsStoreTest : public testing::Test {
protected:
    SettingsStoreTest()
    {
        std::memset(&location, 0, sizeof location);
        std::strcpy(location.keyPath, key.Path().c_str());
        location.root = HKEY_CURRENT_USER;
        store.Bind(location, "EXIF");
    }

    TestRegistryKey key;
    RegistryLocation location;
    SettingsStore store;
};

TEST_F(SettingsStoreTest, ReadsWithoutTheKeyFailAndCreateNothing)
{
    uint32_t value = 42;
    EXPECT_FALSE(store.ReadDword("Compress Rate", value));
    EXPECT_EQ(value, 42u);
    char text[MAX_PATH];
    EXPECT_FALSE(store.ReadString("TempFile", text));
    uint8_t bytes[8];
    EXPECT_FALSE(store.ReadBinary("Palette", bytes, sizeof bytes));
    store.DeleteValue("TempFile");
    EXPECT_FALSE(key.ExifKeyExists());

    EXPECT_TRUE(store.WriteDword("LoopCount", 3));
    EXPECT_TRUE(key.ExifKeyExists());
    EXPECT_EQ(key.Dword("LoopCount"), 3u);
}

TEST_F(SettingsStoreTest, ValuesRoundTripByType)
{
    ASSERT_TRUE(store.WriteString("TempFile", "C:\\temp\\~TF1.tmp"));
    char text[MAX_PATH];
    ASSERT_TRUE(store.ReadString("TempFile", text));
    EXPECT_STREQ(text, "C:\\temp\\~TF1.tmp");
    // The terminator is stored with the text.
    EXPECT_EQ(key.String("TempFile"), std::string("C:\\temp\\~TF1.tmp") + '\0');

    const uint8_t palette[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    ASSERT_TRUE(store.WriteBinary("Palette", palette, sizeof palette));
    uint8_t back[8] = {};
    ASSERT_TRUE(store.ReadBinary("Palette", back, sizeof back));
    EXPECT_EQ(std::memcmp(back, palette, sizeof back), 0);
    EXPECT_FALSE(store.ReadBinary("Palette", back, 4)); // longer than the capacity

    store.DeleteValue("Palette");
    EXPECT_FALSE(key.HasValue("Palette"));
    store.DeleteValue("Palette"); // absent: nothing happens
}

TEST_F(SettingsStoreTest, DwordReadsTakeFourBytesOfAnyType)
{
    key.SetBinary("Compress Rate", {40, 0, 0, 0});
    uint32_t value = 0;
    EXPECT_TRUE(store.ReadDword("Compress Rate", value));
    EXPECT_EQ(value, 40u);

    key.SetBinary("Compress Rate", {1, 2, 3, 4, 5});
    value = 7;
    EXPECT_FALSE(store.ReadDword("Compress Rate", value));
    EXPECT_EQ(value, 7u);

    key.SetBinary("Compress Rate", {9, 0});
    EXPECT_TRUE(store.ReadDword("Compress Rate", value));
    EXPECT_EQ(value, 9u);
}

TEST_F(SettingsStoreTest, AStringThatFillsTheBufferWithoutATerminatorIsRefused)
{
    key.SetBinary("TempFile", std::vector<uint8_t>(MAX_PATH, 'a'));
    char text[MAX_PATH];
    EXPECT_FALSE(store.ReadString("TempFile", text));
    EXPECT_EQ(text[0], '\0');

    key.SetBinary("TempFile", {'a', 'b'});
    std::memset(text, 'x', sizeof text);
    ASSERT_TRUE(store.ReadString("TempFile", text));
    EXPECT_STREQ(text, "ab");
}

TEST_F(SettingsStoreTest, WindowPositionDefaultsToTenTen)
{
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_FALSE(store.ReadWindowPosition(x, y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);

    key.SetDword("File Type", 0);
    EXPECT_TRUE(store.ReadWindowPosition(x, y));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);

    key.SetDword("Position X", 300);
    EXPECT_TRUE(store.ReadWindowPosition(x, y));
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 10);

    key.SetDword("Position Y", static_cast<uint32_t>(-20));
    EXPECT_TRUE(store.ReadWindowPosition(x, y));
    EXPECT_EQ(y, -20);
}

TEST_F(SettingsStoreTest, SavedPositionIsTheWindowsNormalRectangle)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 123, 45, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(store.SaveWindowPosition(window));
    DestroyWindow(window);
    EXPECT_EQ(key.Dword("Position X"), 123u);
    EXPECT_EQ(key.Dword("Position Y"), 45u);
}

TEST_F(SettingsStoreTest, AKeyPathTooLongToComposeIsRefusedWithoutOverflow)
{
    RegistryLocation longLocation;
    std::memset(longLocation.keyPath, 'k', sizeof longLocation.keyPath); // no terminator at all
    longLocation.root = HKEY_CURRENT_USER;
    SettingsStore longStore;
    longStore.Bind(longLocation, "EXIF");
    uint32_t value = 5;
    EXPECT_FALSE(longStore.WriteDword("LoopCount", 1));
    EXPECT_FALSE(longStore.ReadDword("LoopCount", value));
    EXPECT_EQ(value, 5u);

    // 254 characters plus "\EXIF" and the terminator fill 260 bytes exactly.
    std::memset(longLocation.keyPath, 0, sizeof longLocation.keyPath);
    const std::string fits = key.Path() + "\\" + std::string(254 - key.Path().size() - 1, 'f');
    std::strcpy(longLocation.keyPath, fits.c_str());
    longStore.Bind(longLocation, "EXIF");
    EXPECT_TRUE(longStore.WriteDword("LoopCount", 1));
    longLocation.keyPath[fits.size()] = 'g'; // 255 characters
    longStore.Bind(longLocation, "EXIF");
    EXPECT_FALSE(longStore.WriteDword("LoopCount", 1));
}

TEST_F(SettingsStoreTest, BindCopiesTheLocation)
{
    std::strcpy(location.keyPath, "Software\\Elsewhere");
    EXPECT_TRUE(store.WriteDword("LoopCount", 2));
    EXPECT_EQ(key.Dword("LoopCount"), 2u);
}

} // namespace
} // namespace vlexif
