#include "spool/SpoolName.h"
#include "pixels/PixelFormat.h"
#include "spool/BmpHeader.h"
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

TEST(IsSpoolPathIn, OnlySpoolNamesDirectlyInTheTemporaryDirectory)
{
    const char* temp = "\\\\server\\share\\Temp\\";
    EXPECT_TRUE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\~TF1A2B.tmp"));
    EXPECT_TRUE(IsSpoolPathIn(temp, "\\\\SERVER\\share\\temp\\~tf1.TMP"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\report.doc"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\~TF\\..\\..\\x.doc"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\~TF1/../x"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Temp\\"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\server\\share\\Tempo\\~TF1.tmp"));
    EXPECT_FALSE(IsSpoolPathIn(temp, "\\\\other\\~TF1.tmp"));
    EXPECT_FALSE(IsSpoolPathIn(temp, ""));
    EXPECT_FALSE(IsSpoolPathIn("", "~TF1.tmp"));
    EXPECT_FALSE(IsSpoolPathIn("C:\\Temp", "C:\\Temp~TF1.tmp"));
}

TEST(IsDriveSpoolPath, SpoolNamesOnLetteredDrivesOnly)
{
    for (const char* path : {"C:\\Users\\me\\Temp\\~TF1A2B.tmp", "d:\\~tf2.TMP", "C:\\old temp\\x\\~TFbeef.tmp"}) {
        EXPECT_TRUE(IsDriveSpoolPath(path)) << path;
    }
    for (const char* path : {"\\\\server\\share\\~TF1.tmp", "\\\\?\\C:\\t\\~TF1.tmp", "\\\\.\\pipe\\~TF1.tmp",
                             "C:~TF1.tmp", "~TF1.tmp", ".\\~TF1.tmp", "C:/t/~TF1.tmp", "C:\\t\\~TF1.tmp:x",
                             "C:\\t\\~TF1.tmp\\", "C:\\t\\letter.doc", "1:\\~TF1.tmp", "C:\\~TF1.tmp\\..\\x.doc", ""}) {
        EXPECT_FALSE(IsDriveSpoolPath(path)) << path;
    }
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
