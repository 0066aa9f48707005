#include "spool/SpoolName.h"
#include "pixels/PixelFormat.h"
#include "spool/BmpHeaderBuilder.h"
#include "spool/SpoolHead.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vlexif {
namespace {

TEST(IsSpoolName, OnlyTheNamesGetTempFileNameMakes)
{
    for (const char* name : {"~TF1A2B.tmp", "~tf0.TMP", "~TFa.tmp", "~TFffff.Tmp"}) {
        EXPECT_TRUE(IsSpoolName(name)) << name;
    }
    for (const char* name : {"~TF.tmp", "~TF12345.tmp", "~TFghost.tmp", "~TF1.tmp:stream", "~TF1.tmpx", "~TF1.tm",
                             "x~TF1.tmp", "~TF1.tmp\\", "~TF1 .tmp", "~T", ""}) {
        EXPECT_FALSE(IsSpoolName(name)) << name;
    }
}

// The lead bytes of code pages 932 and 950, in CPINFO's form.
constexpr uint8_t Ranges932[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
constexpr uint8_t Ranges950[] = {0x81, 0xFE, 0, 0};
const LeadBytes SingleByte;
const LeadBytes Lead932(Ranges932, sizeof Ranges932);
const LeadBytes Lead950(Ranges950, sizeof Ranges950);

TEST(IsSpoolPathIn, OnlySpoolNamesDirectlyInTheTemporaryDirectory)
{
    const char* temp = "\\\\server\\share\\Temp\\";
    EXPECT_TRUE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\~TF1A2B.tmp", SingleByte));
    EXPECT_TRUE(IsSpoolPathIn(temp, "\\\\SERVER\\share\\temp\\~tf1.TMP", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\report.doc", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\~TF\\..\\..\\x.doc", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\~TF1/../x", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Tempo\\~TF1.tmp", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\other\\~TF1.tmp", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn(temp, "", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn("", "~TF1.tmp", SingleByte));
    EXPECT_FALSE(IsSpoolPathIn("C:\\Temp", "C:\\Temp~TF1.tmp", SingleByte));
}

TEST(IsDriveSpoolPath, SpoolNamesOnLetteredDrivesOnly)
{
    for (const char* path : {"C:\\Users\\me\\Temp\\~TF1A2B.tmp", "d:\\~tf2.TMP", "C:\\old temp\\x\\~TFbeef.tmp"}) {
        EXPECT_TRUE(IsDriveSpoolPath(path, SingleByte)) << path;
    }
    for (const char* path : {"\\\\server\\share\\~TF1.tmp", "\\\\?\\C:\\t\\~TF1.tmp", "\\\\.\\pipe\\~TF1.tmp",
                             "C:~TF1.tmp", "~TF1.tmp", ".\\~TF1.tmp", "C:/t/~TF1.tmp", "C:\\t\\~TF1.tmp:x",
                             "C:\\t\\~TF1.tmp\\", "C:\\t\\letter.doc", "1:\\~TF1.tmp", "C:\\~TF1.tmp\\..\\x.doc", ""}) {
        EXPECT_FALSE(IsDriveSpoolPath(path, SingleByte)) << path;
    }
}

// Folders whose last character ends in the byte of a backslash: 表 (0x95
// 0x5C) in 932, 功 (0xA5 0x5C) in 950. The byte is no separator; how a
// text is walked by its characters, AnsiCharsTest holds.
TEST(SpoolPaths, DoubleByteFoldersAreWalkedByCharacters)
{
    const char* table932 = "C:\\\x97\x5C\x92\xE8\x95\x5C\\"; // C:\予定表\ .
    EXPECT_TRUE(IsSpoolPathIn(table932, "C:\\\x97\x5C\x92\xE8\x95\x5C\\~TF1.tmp", Lead932));
    EXPECT_TRUE(IsDriveSpoolPath("C:\\\x97\x5C\x92\xE8\x95\x5C\\~TF1.tmp", Lead932));
    // A name that only ends in a spool name after a trail byte 0x5C.
    EXPECT_FALSE(IsDriveSpoolPath("C:\\t\\\x95\x5C~TF1.tmp", Lead932));
    EXPECT_TRUE(IsDriveSpoolPath("C:\\t\\\x95\x5C~TF1.tmp", SingleByte));
    // A folder ending in a trail byte 0x5C is no folder path at all.
    EXPECT_FALSE(IsSpoolPathIn("C:\\\x95\x5C", "C:\\\x95\x5C~TF1.tmp", Lead932));
    // Its letters compare as StartsWithNoCase compares them: 0x82 0x61 and
    // 0x82 0x41 are two characters, not one in two cases.
    EXPECT_FALSE(IsSpoolPathIn("C:\\\x82\x61\\", "C:\\\x82\x41\\~TF1.tmp", Lead932));
    // A ':' or '/' of its own is refused in any code page.
    EXPECT_FALSE(IsDriveSpoolPath("C:\\\xA5\x5C/~TF1.tmp", Lead950));
    EXPECT_FALSE(IsDriveSpoolPath("C:\\\xA5\x5C:\\~TF1.tmp", Lead950));
}

// Every head BeginImage writes is recognised at exactly its file's size, and
// each field that states the layout or the sizes, changed, makes it foreign.
TEST(IsSpoolHead, EveryHeadBeginImageWritesAtExactlyItsSize)
{
    const struct {
        uint32_t bits, colours;
    } depths[] = {{24, 0}, {8, 256}, {4, 16}, {4, 256}, {1, 2}};
    for (const HeaderLayout layout : {HeaderLayout::Info, HeaderLayout::Core}) {
        for (const auto& depth : depths) {
            for (const int32_t width : {1, 3, 37}) {
                SCOPED_TRACE(std::to_string(depth.bits) + " bits, width " + std::to_string(width));
                const HeaderImage image{300, 300, width, 5, depth.bits, depth.colours};
                uint8_t block[HeaderBlockSize] = {};
                (layout == HeaderLayout::Info ? BuildInfoHeaderBytes : BuildCoreHeaderBytes)(image, block);
                uint8_t head[SpoolHeadBytes];
                std::memcpy(head, block, sizeof head);
                const uint32_t size = PixelDataOffset(layout, depth.colours) + 5 * RowStride(width, depth.bits);
                EXPECT_TRUE(IsSpoolHead(head, size));
                EXPECT_FALSE(IsSpoolHead(head, size - 1));
                EXPECT_FALSE(IsSpoolHead(head, size + 1));
                for (const size_t at : {size_t{0}, size_t{1}, size_t{2}, size_t{6}, size_t{10}, size_t{14}, size_t{18},
                                        size_t{20}, size_t{22}, size_t{24}}) {
                    uint8_t changed[SpoolHeadBytes];
                    std::memcpy(changed, head, sizeof changed);
                    changed[at] ^= 0x40;
                    EXPECT_FALSE(IsSpoolHead(changed, size)) << "byte " << at;
                }
            }
        }
    }
}

// A file past 4 GiB states 0 as its size; the dimensions still decide.
TEST(IsSpoolHead, AFileSizeOfZeroOnlyForFilesPast4GiB)
{
    const struct {
        int32_t width, height;
        uint32_t statedSize; // written over the built field
        uint64_t fileSize;
        bool spool;
    } rows[] = {
        {65500, 65500, 0, 54 + 12870750000ull, true},
        {65500, 65500, 0, 54 + 12870750000ull - 1, false},
        {65500, 65500, static_cast<uint32_t>(54 + 12870750000ull), 54 + 12870750000ull, false},
        {1, 1073741823, 0, 54 + 4294967292ull, true}, // the rows alone fit 32 bits
        {100, 3, 0, 954, false},
    };
    for (const auto& row : rows) {
        uint8_t block[HeaderBlockSize] = {};
        BuildInfoHeaderBytes({300, 300, row.width, row.height, 24, 0}, block);
        uint8_t head[SpoolHeadBytes];
        std::memcpy(head, block, sizeof head);
        bmp::Write(row.statedSize, head + offsetof(bmp::FileHeader, fileSize));
        EXPECT_EQ(IsSpoolHead(head, row.fileSize), row.spool) << row.width << " x " << row.height;
    }
}

// Bitmaps whose stated sizes add up, but which BeginImage never writes: 32
// bits a pixel, no lines, top-down.
TEST(IsSpoolHead, OtherBitmapsAreNotSpoolFiles)
{
    const HeaderImage images[] = {{300, 300, 4, 2, 32, 0}, {300, 300, 4, 0, 24, 0}, {300, 300, 1, -2, 24, 0}};
    for (const HeaderImage& image : images) {
        uint8_t block[HeaderBlockSize] = {};
        BuildInfoHeaderBytes(image, block);
        uint8_t head[SpoolHeadBytes];
        std::memcpy(head, block, sizeof head);
        const uint32_t stated = head[2] | head[3] << 8 | head[4] << 16 | static_cast<uint32_t>(head[5]) << 24;
        EXPECT_FALSE(IsSpoolHead(head, stated)) << image.bitCount << " bits, height " << image.height;
    }
}

} // namespace
} // namespace vlexif
