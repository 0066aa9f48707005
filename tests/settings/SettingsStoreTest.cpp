#include "settings/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
    EXPECT_FALSE(store.ReadDword("Compress Rate", value).Foreign()); // absent
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

    store.DeleteValue("Palette");
    EXPECT_FALSE(key.HasValue("Palette"));
    store.DeleteValue("Palette"); // absent: nothing happens
}

std::vector<uint8_t> Text(const std::string& text)
{
    return std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
}

// Each read, of a value as another program may leave it: found only in the
// type and size it asks for, with the value's bytes in the output; otherwise
// foreign, never absent, and the output untouched.
TEST_F(SettingsStoreTest, ReadsTakeOnlyTheirOwnTypeAndSize)
{
    using Reader = ValueRead (*)(const SettingsStore&, uint8_t*);
    const Reader dword = [](const SettingsStore& s, uint8_t* out) {
        return s.ReadDword("Compress Rate", *reinterpret_cast<uint32_t*>(out));
    };
    const Reader text = [](const SettingsStore& s, uint8_t* out) {
        return s.ReadString("Compress Rate", *reinterpret_cast<char(*)[MAX_PATH]>(out));
    };
    const Reader binary = [](const SettingsStore& s, uint8_t* out) { return s.ReadBinary("Compress Rate", out, 8); };
    const Reader rate = [](const SettingsStore& s, uint8_t* out) {
        return s.ReadCompressRate(*reinterpret_cast<int32_t*>(out));
    };
    const struct {
        const char* what;
        Reader read;
        DWORD type;
        std::vector<uint8_t> bytes;
        bool found;
    } rows[] = {
        {"dword", dword, REG_DWORD, {40, 0, 0, 0}, true},
        {"dword from 4 binary bytes", dword, REG_BINARY, {40, 0, 0, 0}, true},
        {"dword from 3 binary bytes", dword, REG_BINARY, {40, 0, 0}, false},
        {"dword from 5 binary bytes", dword, REG_BINARY, {40, 0, 0, 0, 0}, false},
        {"dword of 2 bytes", dword, REG_DWORD, {40, 0}, false},
        {"dword from the text 50", dword, REG_SZ, Text("50"), false},
        {"dword from a qword", dword, REG_QWORD, {40, 0, 0, 0, 0, 0, 0, 0}, false},
        {"text", text, REG_SZ, Text("C:\\t\\~TF1.tmp"), true},
        {"text of 259 characters", text, REG_SZ, Text(std::string(259, 'a')), true},
        {"text of 260 characters", text, REG_SZ, Text(std::string(260, 'a')), false},
        {"expandable text", text, REG_EXPAND_SZ, Text("%TEMP%\\~TF1.tmp"), false},
        {"several texts", text, REG_MULTI_SZ, {'a', 0, 0}, false},
        {"text as binary", text, REG_BINARY, Text("ab"), false},
        {"8 bytes", binary, REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, true},
        {"4 bytes of 8", binary, REG_BINARY, {1, 2, 3, 4}, false},
        {"12 bytes of 8", binary, REG_BINARY, std::vector<uint8_t>(12, 1), false},
        {"8 bytes of text", binary, REG_SZ, Text("1234567"), false},
        {"rate 100", rate, REG_DWORD, {100, 0, 0, 0}, true},
        {"rate 101", rate, REG_DWORD, {101, 0, 0, 0}, false},
        {"rate -1", rate, REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        key.SetTyped("Compress Rate", row.type, row.bytes);
        alignas(4) uint8_t out[2 * MAX_PATH];
        std::memset(out, test::Poison, sizeof out);
        const ValueRead read = row.read(store, out);
        EXPECT_EQ(static_cast<bool>(read), row.found);
        EXPECT_EQ(read.Foreign(), !row.found);
        EXPECT_EQ(std::vector<uint8_t>(out, out + row.bytes.size()),
                  row.found ? row.bytes : std::vector<uint8_t>(row.bytes.size(), test::Poison));
    }
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

    key.SetString("Position X", "300"); // not ours: as if absent
    EXPECT_TRUE(store.ReadWindowPosition(x, y));
    EXPECT_EQ(x, 10);
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
