#include "interface/SpoolLayout.h"
#include "pixels/PixelFormat.h"
#include "spool/FreeSpace.h"
#include "tests/spool/SpoolFixture.h"
#include "tests/support/NativeLayouts.h"
#include "tests/support/SystemCallsOverride.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>

namespace vlexif {
namespace {

using test::AcceptedFormats;
using test::BoundSpoolPlugin;
using test::Call;
using test::FailCall;
using test::FormatReference;
using test::Stride;
using test::SystemCallsOverride;

class NativeSpoolTest : public test::SpoolFixture<BoundSpoolPlugin> {
protected:
    std::vector<uint8_t> ExpectedHead(const FormatReference& c, bool core, int32_t width, int32_t height, uint32_t dpi,
                                      const std::vector<uint8_t>& hostPalette) const
    {
        const uint32_t stride = Stride(width, c.spoolBits);
        const uint32_t entryBytes = core ? bmp::CorePaletteEntrySize : bmp::InfoPaletteEntrySize;
        const uint32_t headers = core ? bmp::CoreHeadSize : bmp::InfoHeadSize;
        const uint32_t offset = headers + entryBytes * c.colours;
        const uint32_t imageSize = stride * static_cast<uint32_t>(height);
        std::vector<uint8_t> head(offset, 0);
        const bmp::FileHeader file{bmp::Signature, offset + imageSize, 0, 0, offset};
        const auto bits = static_cast<uint16_t>(c.spoolBits);
        if (core) {
            const bmp::CoreHeader header{bmp::CoreHeaderSize, static_cast<uint16_t>(width),
                                         static_cast<uint16_t>(height), bmp::Planes, bits};
            bmp::Write(bmp::CoreHead{file, header}, head.data());
        } else {
            const auto perMetre = static_cast<int32_t>(dpi * 10000 / 254);
            const bmp::InfoHeader header{
                bmp::InfoHeaderSize, width,    height,   bmp::Planes, bits,     bmp::Uncompressed,
                imageSize,           perMetre, perMetre, c.colours,   c.colours};
            bmp::Write(bmp::InfoHead{file, header}, head.data());
        }
        for (size_t i = 0; i + 3 < hostPalette.size(); i += 4) {
            const uint32_t index = hostPalette[i];
            if (index < c.colours) {
                head[headers + index * entryBytes] = hostPalette[i + 3];
                head[headers + index * entryBytes + 1] = hostPalette[i + 2];
                head[headers + index * entryBytes + 2] = hostPalette[i + 1];
            }
        }
        return head;
    }

    void RunJob(const FormatReference& c, bool core, int32_t width, int32_t height, std::mt19937& random)
    {
        SCOPED_TRACE(std::string(c.name) + (core ? " core" : " info") + " width " + std::to_string(width) + " height " +
                     std::to_string(height));
        key.SetDword("File Type", core ? 1 : 0);
        records.DescribeImage(150, width, height, c.samples, c.bits, c.colourType);
        ASSERT_EQ(plugin.CheckFormat(), StatusOk);
        ASSERT_EQ(plugin.BeginImage(), StatusOk);

        // A palette with gaps, a duplicate index and an index beyond the area.
        std::vector<uint8_t> hostPalette;
        for (int i = 0; i < 6; ++i) {
            hostPalette.insert(hostPalette.end(),
                               {static_cast<uint8_t>(random() % 20), static_cast<uint8_t>(random()),
                                static_cast<uint8_t>(random()), static_cast<uint8_t>(random())});
        }
        hostPalette.insert(hostPalette.end(), {hostPalette[0], 1, 2, 3});
        records.SetPalette(hostPalette, static_cast<uint16_t>(hostPalette.size() / 4));
        ASSERT_EQ(plugin.SetPalette(), StatusOk);

        const std::vector<test::HostLines> blocks = test::RandomBlocks(c, width, height, random);
        std::vector<uint8_t> expected =
            ExpectedHead(c, core, width, height, 150, c.colours ? hostPalette : std::vector<uint8_t>{});
        std::vector<uint8_t> area(static_cast<size_t>(Stride(width, c.spoolBits)) * height, 0);
        for (const test::HostLines& block : blocks) {
            records.SetBlock(block.bytesPerLine, width, block.lines, block.first, block.data.data());
            ASSERT_EQ(plugin.WriteBlock(), StatusOk);
            test::PaintNativeRows(c, width, height, block, area);
        }
        expected.insert(expected.end(), area.begin(), area.end());
        const std::vector<uint8_t> actual = SpoolBytes();
        ASSERT_EQ(actual.size(), expected.size());
        const auto difference = std::mismatch(actual.begin(), actual.end(), expected.begin());
        EXPECT_TRUE(difference.first == actual.end())
            << "first difference at byte " << (difference.first - actual.begin());
        EXPECT_EQ(key.Dword("LoopCount"), blocks.size());
        EXPECT_FALSE(plugin.HoldsWorkBlock());
        Abort();
        EXPECT_TRUE(temp.Files().empty());
    }
};

TEST_F(NativeSpoolTest, EveryFormatInBothLayoutsInRandomBlocksAndOrder)
{
    std::mt19937 random(7);
    for (const FormatReference& c : AcceptedFormats) {
        for (const bool core : {false, true}) {
            for (const int32_t width : {1, 3, 5, 8, 13, 37}) {
                RunJob(c, core, width, 1 + static_cast<int32_t>(random() % 9), random);
            }
        }
    }
}

// A host that changes the image description between the format check and
// BeginImage still gets a header that agrees with the rows its blocks will
// write, which follow the format the check stored.
TEST_F(NativeSpoolTest, TheStoredFormatDecidesTheHeaderWhateverTheDescriptionSaysLater)
{
    const size_t count = std::size(AcceptedFormats);
    for (size_t k = 0; k < count; ++k) {
        const FormatReference& checked = AcceptedFormats[k];
        const FormatReference& described = AcceptedFormats[(k + 1) % count];
        SCOPED_TRACE(std::string(checked.name) + " checked, " + described.name + " described");
        records.DescribeImage(150, 5, 3, checked.samples, checked.bits, checked.colourType);
        ASSERT_EQ(plugin.CheckFormat(), StatusOk);
        records.DescribeImage(150, 5, 3, described.samples, described.bits, described.colourType);
        ASSERT_EQ(plugin.BeginImage(), StatusOk);
        std::vector<uint8_t> expected = ExpectedHead(checked, false, 5, 3, 150, {});
        expected.resize(expected.size() + Stride(5, checked.spoolBits) * 3, 0);
        EXPECT_EQ(SpoolBytes(), expected);
        Abort();
    }
}

TEST_F(NativeSpoolTest, BeginImageLeavesAFullSizeBlackFileAndTheJobValues)
{
    records.DescribeImage(300, 100, 3, 3, 24, 2);
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    ASSERT_EQ(plugin.BeginImage(), StatusOk);
    const std::vector<uint8_t> file = SpoolBytes();
    ASSERT_EQ(file.size(), 954u);
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(std::count(file.begin() + 54, file.end(), 0), 900);
    EXPECT_EQ(key.String("TempFile"), std::string(plugin.TempPath()) + '\0');
    EXPECT_EQ(key.Dword("LoopCount"), 0u);
    EXPECT_EQ(key.Dword("ImageFormat"), 1024u);
}

TEST_F(NativeSpoolTest, ABlockIsPlacedBySeekingBackFromTheEnd)
{
    // RGB24, 2 pixels wide, 10 lines: stride 8.
    records.DescribeImage(300, 2, 10, 3, 24, 2);
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    ASSERT_EQ(plugin.BeginImage(), StatusOk);
    std::vector<uint8_t> lines(24);
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<uint8_t>(i + 1);
    }
    records.SetBlock(8, 2, 3, 5, lines.data());
    ASSERT_EQ(plugin.WriteBlock(), StatusOk);
    const std::vector<uint8_t> file = SpoolBytes();
    const size_t start = file.size() - 64;
    // The block's third line comes first, colours swapped.
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + start, file.begin() + start + 8),
              (std::vector<uint8_t>{19, 18, 17, 22, 21, 20, 0, 0}));
    // The last block of the image lands right behind the header.
    records.SetBlock(8, 2, 2, 8, lines.data());
    ASSERT_EQ(plugin.WriteBlock(), StatusOk);
    EXPECT_EQ(SpoolBytes()[54], 11);
}

TEST_F(NativeSpoolTest, SetPaletteLaysOutBothEntrySizes)
{
    const std::vector<uint8_t> entries = {1, 255, 0, 0, 0, 0, 0, 255};
    for (const uint32_t fileType : {0u, 1u}) {
        key.SetDword("File Type", fileType);
        records.DescribeImage(300, 4, 1, 1, 1, 3);
        ASSERT_EQ(plugin.CheckFormat(), StatusOk);
        ASSERT_EQ(plugin.BeginImage(), StatusOk);
        records.SetPalette(entries, 2);
        ASSERT_EQ(plugin.SetPalette(), StatusOk);
        const std::vector<uint8_t> file = SpoolBytes();
        const std::vector<uint8_t> expected = fileType == 0 ? std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0, 0xFF, 0}
                                                            : std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0xFF};
        const size_t at = fileType == 0 ? 54 : 26;
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + at, file.begin() + at + expected.size()), expected);
        Abort();
    }
}

TEST_F(NativeSpoolTest, SetPaletteForRgbTouchesNothing)
{
    key.SetDword("ImageFormat", FormatRgb48);
    EXPECT_EQ(plugin.SetPalette(), StatusOk);
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(NativeSpoolTest, SetPaletteNeverWritesPastThePaletteArea)
{
    records.DescribeImage(300, 8, 1, 1, 4, 3); // 16 entries
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    ASSERT_EQ(plugin.BeginImage(), StatusOk);
    std::vector<uint8_t> entries;
    for (int i = 0; i < 256; ++i) {
        entries.insert(entries.end(), {static_cast<uint8_t>(i), 0xAA, 0xBB, 0xCC});
    }
    records.SetPalette(entries, 256);
    ASSERT_EQ(plugin.SetPalette(), StatusOk);
    const std::vector<uint8_t> file = SpoolBytes();
    ASSERT_EQ(file.size(), 118u + 4u);
    EXPECT_EQ(file[117], 0);    // last palette slot's zero byte
    EXPECT_EQ(file[116], 0xAA); // its red
    EXPECT_EQ(file[118], 0);    // the pixel row stays black
}

TEST_F(NativeSpoolTest, ImagesTheHeaderCannotStateAreRefusedBeforeAnyFileExists)
{
    const struct {
        uint32_t fileType;
        int32_t width;
        int32_t height;
    } refused[] = {{0, -1, 10}, {0, 10, -1}, {1, 70000, 1}, {1, 1, 65536}};
    for (const auto& image : refused) {
        key.SetDword("File Type", image.fileType);
        records.DescribeImage(300, image.width, image.height, 3, 24, 2);
        ASSERT_EQ(plugin.CheckFormat(), StatusOk);
        EXPECT_EQ(plugin.BeginImage(), StatusBadFormat) << image.width << "x" << image.height;
        EXPECT_TRUE(temp.Files().empty());
        EXPECT_FALSE(key.HasValue("TempFile"));
    }
}

TEST_F(NativeSpoolTest, AnImageOfNoLinesFindsNoMemoryForItsPixelsAndLeavesNothing)
{
    records.DescribeImage(300, 10, 0, 1, 8, 1);
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    EXPECT_EQ(plugin.BeginImage(), StatusNoMemory);
    EXPECT_TRUE(temp.Files().empty());
    EXPECT_FALSE(key.HasValue("TempFile"));
}

class NativeFailureTest : public NativeSpoolTest {
protected:
    void Begin(uint32_t bits = 8, uint32_t colourType = 1, int32_t width = 10, int32_t height = 10)
    {
        records.DescribeImage(300, width, height, bits >= 24 ? 3 : 1, bits, colourType);
        ASSERT_EQ(plugin.CheckFormat(), StatusOk);
        ASSERT_EQ(plugin.BeginImage(), StatusOk);
        records.SetBlock(12, width, 1, 0, line);
    }

    uint8_t line[64] = {};
    SystemCallsOverride calls;
};

TEST_F(NativeFailureTest, BeginImageFailuresLeaveNoFile)
{
    records.DescribeImage(300, 100, 100, 1, 8, 1);
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    const test::ArrangedFailure failures[] = {
        {"header block", [] { FailCall(Call::GlobalAlloc, 1); }, StatusNoMemory},
        // Headers, palette area and pixels: 1078 + 10000 bytes.
        {"no room for the whole file", [] { test::FakeFreeSpace(11077); }, StatusDiskFull},
        {"palette block", [] { FailCall(Call::GlobalAlloc, 2); }, StatusNoMemory},
        {"pre-fill chunk", [] { FailCall(Call::GlobalAlloc, 3); }, StatusNoMemory},
        {"header write", [] { FailCall(Call::Write, 1); }, StatusWriteFailed},
        {"palette area write", [] { FailCall(Call::Write, 2); }, StatusWriteFailed},
        {"short pre-fill write", [] { FailCall(Call::Write, 3, test::ShortTransfer); }, StatusWriteFailed},
        {"close after writing", [] { FailCall(Call::Close, 1); }, StatusCloseFailed},
    };
    test::CheckEachFailure(
        failures, [this](const test::ArrangedFailure&) { calls.Reset(); }, [this] { return plugin.BeginImage(); },
        [this](const test::ArrangedFailure&) {
            EXPECT_TRUE(temp.Files().empty());
            EXPECT_FALSE(key.HasValue("TempFile"));
            EXPECT_FALSE(plugin.HoldsWorkBlock());
        });
    calls.Reset();
    test::FakeFreeSpace(11078);
    EXPECT_EQ(plugin.BeginImage(), StatusOk) << "free space equal to the need";
    EXPECT_EQ(test::FreeSpaceFolder() + temp.Files()[0], plugin.TempPath()) << "asked in the spool file's folder";
    Abort();
    test::FakeFreeSpace(FreeSpaceUnknown);
    EXPECT_EQ(plugin.BeginImage(), StatusOk) << "free space unknown";
}

HANDLE WINAPI RefuseCreate(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    return INVALID_HANDLE_VALUE;
}

TEST_F(NativeFailureTest, ACreateFailureLeavesNoFileBehind)
{
    records.DescribeImage(300, 10, 10, 1, 8, 1);
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    Os().createFileA = RefuseCreate;
    EXPECT_EQ(plugin.BeginImage(), StatusCreateFailed);
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(NativeFailureTest, SetPaletteFailuresDeleteTheSpoolFile)
{
    const std::vector<uint8_t> entries = {0, 1, 2, 3};
    struct PaletteFailure {
        const char* what;
        void (*arrange)();
        PluginStatus status;
        uint16_t count;
    };
    const PaletteFailure failures[] = {
        {"seek", [] { FailCall(Call::Seek, 1); }, StatusSeekFailed, 1},
        {"palette block", [] { FailCall(Call::GlobalAlloc, 1); }, StatusNoMemory, 1},
        {"no entries", [] {}, StatusNoMemory, 0},
        {"palette write", [] { FailCall(Call::Write, 1); }, StatusWriteFailed, 1},
        {"close after writing", [] { FailCall(Call::Close, 1); }, StatusCloseFailed, 1},
    };
    test::CheckEachFailure(
        failures,
        [&](const PaletteFailure& failure) {
            calls.Reset();
            Begin();
            records.SetPalette(entries, failure.count);
        },
        [this] { return plugin.SetPalette(); },
        [this](const PaletteFailure&) {
            EXPECT_TRUE(temp.Files().empty());
            EXPECT_TRUE(key.HasValue("TempFile"));
        });
    calls.Reset();
    EXPECT_EQ(plugin.SetPalette(), StatusOpenFailed) << "file gone";
}

TEST_F(NativeFailureTest, WriteBlockFailuresDeleteTheSpoolFileAndKeepTheCount)
{
    const test::ArrangedFailure failures[] = {
        {"row block", [] { FailCall(Call::GlobalAlloc, 1); }, StatusNoMemory},
        {"seek to the place", [] { FailCall(Call::Seek, 1); }, StatusSeekFailed},
        {"write", [] { FailCall(Call::Write, 1); }, StatusWriteFailed},
        {"short write", [] { FailCall(Call::Write, 1, test::ShortTransfer); }, StatusWriteFailed},
        {"close after writing", [] { FailCall(Call::Close, 1); }, StatusCloseFailed},
    };
    test::CheckEachFailure(
        failures,
        [this](const test::ArrangedFailure&) {
            calls.Reset();
            Begin();
            ASSERT_EQ(plugin.WriteBlock(), StatusOk);
        },
        [this] { return plugin.WriteBlock(); },
        [this](const test::ArrangedFailure&) {
            EXPECT_TRUE(temp.Files().empty());
            EXPECT_EQ(key.Dword("LoopCount"), 1u);
            EXPECT_FALSE(plugin.HoldsWorkBlock());
        });
    calls.Reset();
    EXPECT_EQ(plugin.WriteBlock(), StatusOpenFailed) << "file gone";
}

DWORD WINAPI PipeType(HANDLE)
{
    return FILE_TYPE_PIPE;
}

BOOL WINAPI UnknownSize(HANDLE, PLARGE_INTEGER)
{
    return FALSE;
}

// The head's 32-bit size field agrees, the dimensions do not.
BOOL WINAPI SizePast4GiB(HANDLE file, PLARGE_INTEGER size)
{
    const BOOL known = RealSystemCalls().getFileSizeEx(file, size);
    size->QuadPart += 0x100000000ll;
    return known;
}

// The proof is made through the handle that writes the block: a file that
// fails it, however, is left exactly as it was, neither written nor deleted.
TEST_F(NativeFailureTest, ASpoolFileFailingItsProofIsNeitherWrittenNorDeleted)
{
    const struct {
        const char* what;
        void (*arrange)();
        PluginStatus status = StatusOpenFailed;
    } failures[] = {
        {"not a disk file", [] { Os().getFileType = PipeType; }},
        {"size unknown", [] { Os().getFileSizeEx = UnknownSize; }},
        {"size past 4 GiB", [] { Os().getFileSizeEx = SizePast4GiB; }},
        {"head unread", [] { FailCall(Call::Read, 1); }},
        {"head short", [] { FailCall(Call::Read, 1, test::ShortTransfer); }},
    };
    Begin();
    records.SetPalette({0, 1, 2, 3}, 1);
    const std::vector<uint8_t> before = SpoolBytes();
    test::CheckEachFailure(
        failures,
        [this](const auto&) {
            calls.Reset();
            FailCall(Call::Write, 0);
        },
        [this] { return plugin.WriteBlock(); },
        [&](const auto&) {
            EXPECT_EQ(plugin.SetPalette(), StatusOpenFailed);
            EXPECT_TRUE(test::WriteSizes().empty());
            calls.Reset();
            EXPECT_EQ(SpoolBytes(), before);
            EXPECT_EQ(key.Dword("LoopCount"), 0u);
        });
}

// A spool file that will not open for writing is lost to the job and goes;
// a file under a spool name that will not open either is not the job's to delete.
TEST_F(NativeFailureTest, OnlyAProvenSpoolFileIsDeletedWhenItWillNotOpen)
{
    Begin();
    test::FailOpenForWriting();
    EXPECT_EQ(plugin.WriteBlock(), StatusOpenFailed);
    EXPECT_TRUE(temp.Files().empty());
    const std::string decoy = temp.Path() + "~TF1.tmp";
    test::WriteWholeFile(decoy, {'B', 'M'});
    key.SetString("TempFile", decoy);
    EXPECT_EQ(plugin.WriteBlock(), StatusOpenFailed);
    EXPECT_EQ(test::ReadWholeFile(decoy), (std::vector<uint8_t>{'B', 'M'}));
}

TEST_F(NativeFailureTest, EmptyBlocksFindNoMemoryAndDeleteTheFile)
{
    for (const int32_t lines : {0, 1}) {
        Begin();
        records.SetBlock(12, lines == 0 ? 10 : 0, lines, 0, line);
        EXPECT_EQ(plugin.WriteBlock(), StatusNoMemory);
        EXPECT_TRUE(temp.Files().empty());
    }
}

TEST_F(NativeFailureTest, BadBlocksAreRefusedAndChangeNothing)
{
    Begin(24, 2, 5, 10); // stride 16
    const std::vector<uint8_t> before = SpoolBytes();
    const struct {
        int32_t bytesPerLine, width, lines, linesBefore;
    } refused[] = {
        {16, -5, 1, 0}, {16, 5, -1, 0},
        {16, 5, 1, -1}, {15, 5, 2, 0}, // tightly packed lines shorter than the stride stepped
        {16, 5, 2, 9},                 // past the first line of the image
        {16, 5, 1, 10}, {16, 5, 1, INT_MAX},
    };
    for (const auto& block : refused) {
        records.SetBlock(block.bytesPerLine, block.width, block.lines, block.linesBefore, line);
        EXPECT_EQ(plugin.WriteBlock(), StatusBadFormat)
            << block.bytesPerLine << " " << block.width << " " << block.lines << " " << block.linesBefore;
        EXPECT_EQ(SpoolBytes(), before);
        EXPECT_EQ(key.Dword("LoopCount"), 0u);
    }
    key.SetDword("ImageFormat", FormatGray4);
    records.SetBlock(16, 5, 1, 0, line);
    EXPECT_EQ(plugin.WriteBlock(), StatusBadFormat) << "no row converter";
    EXPECT_EQ(SpoolBytes(), before);
}

TEST_F(NativeFailureTest, AForgedSpoolPathIsNeverOpenedOrDeleted)
{
    Begin();
    const std::string victim = temp.Path() + "precious.txt";
    test::WriteWholeFile(victim, {1, 2, 3});
    for (const std::string& forged :
         {victim, std::string("C:\\windows\\win.ini"), temp.Path() + "~TF\\..\\precious.txt"}) {
        key.SetString("TempFile", forged);
        EXPECT_EQ(plugin.WriteBlock(), StatusOpenFailed);
        EXPECT_EQ(plugin.SetPalette(), StatusOpenFailed);
        Abort();
        EXPECT_EQ(test::ReadWholeFile(victim), (std::vector<uint8_t>{1, 2, 3}));
        EXPECT_FALSE(key.HasValue("TempFile"));
    }
}

TEST_F(NativeFailureTest, AbortWithoutAJobStillRemovesItsValues)
{
    key.SetDword("ImageFormat", 1024);
    key.SetDword("LoopCount", 2);
    Abort();
    EXPECT_FALSE(key.HasValue("ImageFormat"));
    EXPECT_FALSE(key.HasValue("LoopCount"));
}

TEST_F(NativeFailureTest, FourBitGreyIsStoredThenRefused)
{
    records.DescribeImage(300, 10, 10, 1, 4, 1);
    EXPECT_EQ(plugin.CheckFormat(), StatusBadFormat);
    EXPECT_EQ(key.Dword("ImageFormat"), 2004u);
    EXPECT_EQ(plugin.FormatCode(), 2004u);
    records.DescribeImage(300, 10, 10, 1, 1, 1);
    EXPECT_EQ(plugin.CheckFormat(), StatusBadFormat);
    EXPECT_EQ(key.Dword("ImageFormat"), 2004u) << "a failed classification stores nothing";
    EXPECT_EQ(plugin.FormatCode(), 0u);
}

// Another program holding the spool file: a hold that ends is waited out at
// every step; one that outlasts the job leaves the file remembered, and it
// goes at the next job's call once let go of, unless it has changed since.
TEST_F(NativeFailureTest, HeldSpoolFilesAreWaitedForOrRememberedAndRemovedLater)
{
    test::RecordWaits();
    test::HoldFilesFor(3);
    Begin();
    EXPECT_EQ(test::Waits(), (std::vector<DWORD>{25, 50, 75})) << "the create, held three times";
    test::HoldFilesFor(2, ERROR_LOCK_VIOLATION);
    EXPECT_EQ(plugin.WriteBlock(), StatusOk);

    const std::string first = key.String("TempFile");
    // Reading and writing shared, deletion not: what backup clients do.
    HANDLE holder = CreateFileA(first.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Abort();
    EXPECT_EQ(temp.Files().size(), 1u) << "held, it stays for now";
    EXPECT_TRUE(key.HasValue("Leftover Files"));
    // Still held at the next call: tried once, never waited for.
    const size_t waitsBefore = test::Waits().size();
    Abort();
    EXPECT_EQ(test::Waits().size(), waitsBefore);
    EXPECT_TRUE(key.HasValue("Leftover Files"));
    CloseHandle(holder);
    Begin();
    EXPECT_EQ(temp.Files().size(), 1u) << "the next begin took the let-go file";
    EXPECT_NE(key.String("TempFile"), first);
    EXPECT_FALSE(key.HasValue("Leftover Files"));

    // Held again at the end, then changed by someone else: not ours any more.
    const std::string second = key.String("TempFile");
    holder = CreateFileA(second.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Abort();
    DWORD written = 0;
    SetFilePointer(holder, 0, nullptr, FILE_END);
    WriteFile(holder, "x", 1, &written, nullptr);
    CloseHandle(holder);
    Abort();
    EXPECT_EQ(temp.Files().size(), 1u) << "a changed file is never deleted";
    EXPECT_FALSE(key.HasValue("Leftover Files")) << "and forgotten";
    DeleteFileA(second.c_str());
}

} // namespace
} // namespace vlexif
