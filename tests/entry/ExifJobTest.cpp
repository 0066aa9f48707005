// Whole scan jobs through the real VLEXIF.dll, as a host runs them, with a
// converter that keeps a copy of the spool file it is handed.
#include "tests/support/FailureTable.h"
#include "tests/support/HandleCensus.h"
#include "tests/support/HostFormats.h"
#include "tests/support/NativeLayouts.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace vlexif {
namespace {

using namespace vlexif::test;

class ExifJobTest : public testing::Test {
protected:
    explicit ExifJobTest(const char* stage = "stage") : plugin(Stage(stage)), recorder(Stage(stage))
    {
        records.SetRegistry(key);
        records.params.owner = owner.Handle();
    }

    uint32_t Call(PluginCommand command)
    {
        return stackOffset ? plugin.CallOffAlignment(command, records.params, *stackOffset)
                           : plugin.Call(command, records.params);
    }

    // A palette with gaps and a duplicate index; the table the plug-in builds
    // from it, as blue, green, red, 0 per index.
    std::vector<uint8_t> MakePalette(const FormatReference& format, std::vector<uint8_t>& table)
    {
        table.assign(1024, 0);
        std::vector<uint8_t> entries;
        const int span = format.bits == 1 ? 2 : format.bits == 4 ? 16 : 256;
        for (int i = 0; i < span; ++i) {
            if (random() % 5 == 0) {
                continue; // a gap: the index keeps black
            }
            const uint8_t index = static_cast<uint8_t>(i);
            entries.insert(entries.end(),
                           {index, static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                            static_cast<uint8_t>(random())});
        }
        entries.insert(entries.end(), {0, 1, 2, 3}); // index 0 again: the later entry wins
        for (size_t i = 0; i < entries.size(); i += 4) {
            uint8_t* slot = &table[4 * entries[i]];
            slot[0] = entries[i + 3];
            slot[1] = entries[i + 2];
            slot[2] = entries[i + 1];
        }
        return entries;
    }

    static void PaintBlock(const FormatReference& format, int32_t width, int32_t height, const HostLines& block,
                           const std::vector<uint8_t>& table, std::vector<uint8_t>& spool)
    {
        const uint32_t stride = Stride(width, 24);
        for (int32_t r = 0; r < block.lines; ++r) {
            const uint8_t* line = block.data.data() + static_cast<size_t>(r) * block.bytesPerLine;
            uint8_t* row =
                spool.data() + bmp::InfoHeadSize + static_cast<size_t>(height - 1 - block.first - r) * stride;
            for (int32_t j = 0; j < width; ++j) {
                ExpandedPixel(format, line, j, table.data(), row + 3 * j);
            }
        }
    }

    // Runs one job; with `reload`, the module is unloaded and loaded again
    // between every two calls.
    void RunJob(const FormatReference& format, int32_t width, int32_t height, bool reload = false)
    {
        SCOPED_TRACE(std::string(format.name) + " " + std::to_string(width) + "x" + std::to_string(height));
        auto step = [&](PluginCommand command) {
            if (reload) {
                plugin.Reload();
            }
            return Call(command);
        };
        ASSERT_EQ(step(CmdDescribe), StatusOk);
        records.DescribeImage(200, width, height, format.samples, format.bits, format.colourType);
        ASSERT_EQ(step(CmdCheckFormat), StatusOk);
        ASSERT_EQ(step(CmdBeginImage), StatusOk);
        const std::string spoolPath = key.String("TempFile").c_str();
        std::vector<uint8_t> table(1024, 0);
        if (format.usesPalette) {
            const std::vector<uint8_t> entries = MakePalette(format, table);
            records.SetPalette(entries, static_cast<uint16_t>(entries.size() / 4));
            ASSERT_EQ(step(CmdSetPalette), StatusOk);
        }
        std::vector<uint8_t> expected = BlackBmp24(width, height, 200);
        const std::vector<HostLines> blocks =
            RandomBlocks(height, random, [&] { return ExifBytesPerLine(format, width, random); });
        uint32_t written = 0;
        for (const HostLines& block : blocks) {
            records.SetBlock(block.bytesPerLine, width, block.lines, block.first, block.data.data());
            ASSERT_EQ(step(CmdWriteBlock), StatusOk);
            EXPECT_EQ(key.Dword("LoopCount"), reload ? 1u : ++written);
            PaintBlock(format, width, height, block, table, expected);
        }
        ASSERT_EQ(step(CmdFinish), StatusOk);
        ASSERT_EQ(recorder->calls, 1);
        EXPECT_STREQ(recorder->versionText, "VARLO EXIF Plug-in Version 1.00E");
        EXPECT_EQ(recorder->jobRecord, &records.job);
        EXPECT_EQ(recorder->spoolPath, spoolPath);
        EXPECT_EQ(recorder->quality, 25);
        ASSERT_EQ(recorder->spoolCopySize, expected.size());
        EXPECT_EQ(std::vector<uint8_t>(recorder->spoolCopy, recorder->spoolCopy + recorder->spoolCopySize), expected);
        EXPECT_TRUE(temp.Files().empty());
        for (const char* name :
             {"TempFile", "ImageFormat", "LoopCount", "Palette Num", "Palette", "Owner Process", "Owner Started"}) {
            EXPECT_FALSE(key.HasValue(name)) << name;
        }
        EXPECT_EQ(key.Dword("File Type"), 0u);
        recorder->calls = 0;
    }

    std::mt19937 random{12345};
    std::optional<uint32_t> stackOffset; // a host whose stack is off alignment
    TestRegistryKey key;
    TestTempDir temp;
    OwnerWindow owner;
    HostRecords records;
    PluginLibrary plugin;
    Recorder recorder;
    MessageBoxCatcher messages;
};

// Then each format once more with the module unloaded and loaded again
// between every two calls, as a host may: the same file, and once the
// module is gone, no handle kept. What the plug-in's code sets up at first
// use, not at load, shows only after a job: a static built on first use
// takes the C++ runtime's guard lock, a semaphore kept until the process
// ends.
TEST_F(ExifJobTest, EveryFormatAtOddAndEvenWidthsInRandomBlocksAndUnloadedBetweenCalls)
{
    for (const FormatReference& format : AcceptedFormats) {
        for (const int32_t width : {1, 3, 5, 8, 37, 101}) {
            plugin.Reload(); // a fresh palette table for each job
            RunJob(format, width, 1 + static_cast<int32_t>(random() % 12));
        }
        plugin.Unload();
        const HandleCensus unloaded = HandleCensus::Take();
        RunJob(format, 7, 9, true);
        plugin.Unload();
        EXPECT_EQ(HandleCensus::Take().Describe(), unloaded.Describe()) << format.name;
    }
}

// A host built with MSVC keeps its stack 4-byte aligned only: whatever the
// stack pointer at its calls, every format gives the same page, at each
// kernel variant (the simd.* runs repeat this with lower ones).
TEST_F(ExifJobTest, AHostWithItsStackOffAlignmentGetsTheSamePage)
{
    for (const uint32_t offset : {0u, 4u, 8u, 12u}) {
        SCOPED_TRACE("stack offset " + std::to_string(offset));
        stackOffset = offset;
        for (const FormatReference& format : AcceptedFormats) {
            plugin.Reload();
            RunJob(format, 37, 9);
        }
    }
}

// Two hosts' jobs in one process, a call of each in turn, each under its own
// key and with its own records: neither job's format, palette or spool file
// reaches the other's output.
TEST_F(ExifJobTest, InterleavedJobsUnderTwoKeysKeepTheirOwnOutput)
{
    struct Job {
        const FormatReference* format;
        int32_t width, height;
        TestRegistryKey key;
        HostRecords records;
        std::vector<uint8_t> entries, table, expected;
        std::vector<HostLines> blocks;
        std::vector<PluginCommand> plan;
        size_t next = 0, block = 0;
    };
    const std::pair<const char*, const char*> pairs[] = {
        {"indexed8", "gray16"}, {"indexed4", "rgb24"}, {"bilevel", "indexed1"}, {"gray8", "rgb48"}};
    auto find = [](const char* name) {
        return &*std::find_if(std::begin(AcceptedFormats), std::end(AcceptedFormats),
                              [&](const FormatReference& f) { return std::strcmp(f.name, name) == 0; });
    };
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(std::string(first) + " with " + second);
        Job jobs[2];
        jobs[0].format = find(first);
        jobs[1].format = find(second);
        for (Job& job : jobs) {
            job.width = 3 + static_cast<int32_t>(random() % 20);
            job.height = 2 + static_cast<int32_t>(random() % 8);
            job.records.SetRegistry(job.key);
            job.records.params.owner = owner.Handle();
            // A palette naming every index its pixels can take, in its own colours.
            job.table.assign(1024, 0);
            const int span = job.format->bits == 1 ? 2 : job.format->bits == 4 ? 16 : 256;
            for (int i = 0; job.format->usesPalette && i < span; ++i) {
                const uint8_t colour[3] = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                                           static_cast<uint8_t>(random())};
                job.entries.insert(job.entries.end(), {static_cast<uint8_t>(i), colour[0], colour[1], colour[2]});
                job.table[4 * i] = colour[2];
                job.table[4 * i + 1] = colour[1];
                job.table[4 * i + 2] = colour[0];
            }
            job.blocks =
                RandomBlocks(job.height, random, [&] { return ExifBytesPerLine(*job.format, job.width, random); });
            job.expected = BlackBmp24(job.width, job.height, 200);
            for (const HostLines& block : job.blocks) {
                PaintBlock(*job.format, job.width, job.height, block, job.table, job.expected);
            }
            job.plan = {CmdDescribe, CmdCheckFormat, CmdBeginImage};
            if (job.format->usesPalette) {
                job.plan.push_back(CmdSetPalette);
            }
            job.plan.insert(job.plan.end(), job.blocks.size(), CmdWriteBlock);
            job.plan.push_back(CmdFinish);
        }
        while (jobs[0].next < jobs[0].plan.size() || jobs[1].next < jobs[1].plan.size()) {
            for (Job& job : jobs) {
                if (job.next == job.plan.size()) {
                    continue;
                }
                const PluginCommand command = job.plan[job.next++];
                HostRecords& r = job.records;
                if (command == CmdCheckFormat || command == CmdBeginImage) {
                    r.DescribeImage(200, job.width, job.height, job.format->samples, job.format->bits,
                                    job.format->colourType);
                } else if (command == CmdSetPalette) {
                    r.SetPalette(job.entries, static_cast<uint16_t>(job.entries.size() / 4));
                } else if (command == CmdWriteBlock) {
                    const HostLines& block = job.blocks[job.block++];
                    r.SetBlock(block.bytesPerLine, job.width, block.lines, block.first, block.data.data());
                }
                ASSERT_EQ(plugin.Call(command, r.params), StatusOk) << job.format->name << " command " << command;
                if (command == CmdFinish) {
                    ASSERT_EQ(recorder->spoolCopySize, job.expected.size()) << job.format->name;
                    EXPECT_EQ(std::vector<uint8_t>(recorder->spoolCopy, recorder->spoolCopy + recorder->spoolCopySize),
                              job.expected)
                        << job.format->name;
                }
            }
        }
        EXPECT_TRUE(temp.Files().empty());
    }
}

TEST_F(ExifJobTest, RegistryHoldsTheJobsValuesAlongTheWay)
{
    ASSERT_EQ(Call(CmdDescribe), StatusOk);
    EXPECT_EQ(key.Dword("File Type"), 0u);
    EXPECT_FALSE(key.HasValue("Compress Rate"));
    records.DescribeImage(300, 4, 4, 1, 4, 1); // 4-bit grey, refused: no job, so no owner
    EXPECT_EQ(Call(CmdCheckFormat), StatusBadFormat);
    EXPECT_FALSE(key.HasValue("Owner Process"));
    records.DescribeImage(300, 4, 4, 1, 8, 3);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    EXPECT_EQ(key.Dword("ImageFormat"), 3008u);
    // The job is this process's from its first value on.
    EXPECT_EQ(key.Dword("Owner Process"), GetCurrentProcessId());
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    EXPECT_EQ(key.Binary("Owner Started"),
              std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&created), reinterpret_cast<uint8_t*>(&created + 1)));
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    EXPECT_EQ(key.Dword("LoopCount"), 0u);
    ASSERT_EQ(temp.Files().size(), 1u);
    EXPECT_EQ(key.String("TempFile"), temp.Path() + temp.Files()[0] + '\0');
    records.SetPalette({0, 10, 20, 30, 255, 1, 1, 1}, 2);
    ASSERT_EQ(Call(CmdSetPalette), StatusOk);
    // The table up to the highest index named, so that index 255 keeps its
    // colour when the module is unloaded before the blocks come.
    EXPECT_EQ(key.Dword("Palette Num"), 256u);
    std::vector<uint8_t> stored(1024, 0);
    stored[0] = 30, stored[1] = 20, stored[2] = 10;
    stored[1020] = 1, stored[1021] = 1, stored[1022] = 1;
    EXPECT_EQ(key.Binary("Palette"), stored);
    EXPECT_EQ(Call(CmdAbort), StatusOk);
    EXPECT_TRUE(temp.Files().empty());
    for (const char* name :
         {"TempFile", "ImageFormat", "LoopCount", "Palette Num", "Palette", "Owner Process", "Owner Started"}) {
        EXPECT_FALSE(key.HasValue(name)) << name;
    }
}

TEST_F(ExifJobTest, QualityIsHundredMinusTheStoredRate)
{
    for (const uint32_t rate : {0u, 100u, 40u}) {
        key.SetDword("Compress Rate", rate);
        records.DescribeImage(300, 2, 2, 3, 24, 2);
        ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
        ASSERT_EQ(Call(CmdBeginImage), StatusOk);
        ASSERT_EQ(Call(CmdFinish), StatusOk);
        EXPECT_EQ(recorder->quality, 100 - static_cast<int32_t>(rate));
    }
}

TEST_F(ExifJobTest, AConverterFailureIsReportedAndStillCleansUp)
{
    records.DescribeImage(300, 2, 2, 3, 24, 2);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    recorder->result = 0x10005;
    EXPECT_EQ(Call(CmdFinish), StatusCreateFailed);
    EXPECT_TRUE(temp.Files().empty());
    EXPECT_FALSE(key.HasValue("TempFile"));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].owner, owner.Handle());

    recorder->result = 0x10000; // only the low 16 bits count
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    EXPECT_EQ(Call(CmdFinish), StatusOk);
}

TEST_F(ExifJobTest, AFailedBeginLeavesNoSpoolFile)
{
    records.DescribeImage(300, 10, 0, 1, 8, 1);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    EXPECT_EQ(Call(CmdBeginImage), StatusNoMemory);
    EXPECT_TRUE(temp.Files().empty());
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(Call(CmdAbort), StatusOk);
}

// A side over what a JPEG holds is refused at the check and again at the
// begin, before any file exists, in words that name the limit; the limit
// itself begins.
TEST_F(ExifJobTest, APageSideOverTheJpegLimitIsRefusedBeforeAnyFile)
{
    const struct {
        int32_t width, height;
        uint32_t bits, colourType;
    } pages[] = {{65501, 2, 8, 1}, {2, 65501, 24, 2}};
    for (const auto& page : pages) {
        records.DescribeImage(300, page.width, page.height, page.bits / 8, page.bits, page.colourType);
        for (const PluginCommand command : {CmdCheckFormat, CmdBeginImage}) {
            EXPECT_EQ(Call(command), StatusBadFormat) << page.width << " x " << page.height << ", command " << command;
            ASSERT_FALSE(messages.Messages().empty());
            EXPECT_NE(messages.Messages().back().text.find("65,500 pixels a side"), std::string::npos)
                << messages.Messages().back().text;
            EXPECT_TRUE(temp.Files().empty());
            EXPECT_FALSE(key.HasValue("TempFile"));
        }
    }
    records.DescribeImage(300, 65500, 1, 1, 8, 1);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    EXPECT_EQ(Call(CmdAbort), StatusOk);
    records.DescribeImage(300, 1, 65500, 3, 24, 2);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    EXPECT_EQ(Call(CmdAbort), StatusOk);
}

TEST_F(ExifJobTest, ExpansionBlocksAreCheckedLikeNativeOnes)
{
    records.DescribeImage(300, 9, 4, 1, 1, 0); // bilevel: 2 bytes of pixels a line
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    const std::vector<uint8_t> before = temp.Read(temp.Files()[0]);
    uint8_t data[16] = {};
    const struct {
        int32_t bytesPerLine, width, lines, linesBefore;
    } refused[] = {{1, 9, 2, 0}, {2, 9, 2, 3}, {-2, 9, 1, 0}, {2, 9, 1, -1}, {2, -9, 1, 0}};
    for (const auto& block : refused) {
        records.SetBlock(block.bytesPerLine, block.width, block.lines, block.linesBefore, data);
        EXPECT_EQ(Call(CmdWriteBlock), StatusBadFormat);
        EXPECT_EQ(temp.Read(temp.Files()[0]), before);
    }
    EXPECT_EQ(key.Dword("LoopCount"), 0u);
}

TEST_F(ExifJobTest, AHugePaletteCountStoresAtMostTheTable)
{
    records.DescribeImage(300, 4, 4, 1, 8, 3);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    std::vector<uint8_t> entries;
    for (int i = 0; i < 1000; ++i) {
        entries.insert(entries.end(), {static_cast<uint8_t>(i), 1, 2, 3});
    }
    records.SetPalette(entries, 1000);
    ASSERT_EQ(Call(CmdSetPalette), StatusOk);
    EXPECT_EQ(key.Dword("Palette Num"), 256u);
    EXPECT_EQ(key.Binary("Palette").size(), 1024u);
    EXPECT_EQ(Call(CmdAbort), StatusOk);
}

std::vector<uint8_t> Text(const std::string& text)
{
    return std::vector<uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
}

// Settings another program stored in a type or size not ours, or a rate the
// dialog cannot give: as if none were stored, never their bytes as a rate.
TEST_F(ExifJobTest, ACompressRateNotOursIsTheDefault)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<uint8_t> bytes;
        int32_t rate;
    } rows[] = {
        {"the text 50", REG_SZ, Text("50"), 75},          {"a qword", REG_QWORD, {50, 0, 0, 0, 0, 0, 0, 0}, 75},
        {"3 binary bytes", REG_BINARY, {50, 0, 0}, 75},   {"5 binary bytes", REG_BINARY, {50, 0, 0, 0, 0}, 75},
        {"a rate of 150", REG_DWORD, {150, 0, 0, 0}, 75}, {"4 binary bytes", REG_BINARY, {50, 0, 0, 0}, 50},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        plugin.Reload();
        key.SetTyped("Compress Rate", row.type, row.bytes);
        ASSERT_EQ(Call(CmdDescribe), StatusOk);
        EXPECT_EQ(std::string(records.params.summaryText),
                  "Compression rate: " + std::to_string(row.rate) + "%; color: automatic");
        plugin.Reload(); // the job's own read, not the description's
        records.DescribeImage(300, 2, 2, 3, 24, 2);
        ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
        ASSERT_EQ(Call(CmdBeginImage), StatusOk);
        ASSERT_EQ(Call(CmdFinish), StatusOk);
        EXPECT_EQ(recorder->quality, 100 - row.rate);
    }
}

// The stored colour mode, as the summary tells it and the converter gets it
// with the quality; one of another type or an unknown number is automatic.
TEST_F(ExifJobTest, TheColourModeReachesTheSummaryAndTheConverter)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<uint8_t> bytes; // none: nothing stored
        uint32_t mode;
        const char* summary;
    } rows[] = {
        {"none stored", REG_DWORD, {}, 0, "automatic"},
        {"exact", REG_DWORD, {1, 0, 0, 0}, 1, "gray only when exactly gray"},
        {"always colour", REG_DWORD, {2, 0, 0, 0}, 2, "always"},
        {"an unknown mode", REG_DWORD, {3, 0, 0, 0}, 0, "automatic"},
        {"the text 2", REG_SZ, Text("2"), 0, "automatic"},
    };
    key.SetDword("Compress Rate", 40);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (!row.bytes.empty()) {
            key.SetTyped("Colour Mode", row.type, row.bytes);
        }
        ASSERT_EQ(Call(CmdDescribe), StatusOk);
        EXPECT_EQ(std::string(records.params.summaryText), std::string("Compression rate: 40%; color: ") + row.summary);
        records.DescribeImage(300, 2, 2, 3, 24, 2);
        ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
        ASSERT_EQ(Call(CmdBeginImage), StatusOk);
        ASSERT_EQ(Call(CmdFinish), StatusOk);
        EXPECT_EQ(recorder->optionsSize, 32u);
        EXPECT_EQ(recorder->quality, 60);
        EXPECT_EQ(recorder->colourMode, row.mode);
    }
}

// A converter that knows only VkExf_Entry still converts, at the stored
// quality.
class EntryOnlyConverterTest : public ExifJobTest {
protected:
    EntryOnlyConverterTest() : ExifJobTest("stage-entry-only") {}
};

TEST_F(EntryOnlyConverterTest, GetsTheQualityThroughTheFirstEntry)
{
    key.SetDword("Compress Rate", 40);
    key.SetDword("Colour Mode", 2);
    records.DescribeImage(300, 2, 2, 3, 24, 2);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    ASSERT_EQ(Call(CmdFinish), StatusOk);
    EXPECT_EQ(recorder->calls, 1);
    EXPECT_EQ(recorder->optionsSize, 0u);
    EXPECT_EQ(recorder->quality, 60);
}

// A job's value replaced mid-job by one of another type or size, or a
// palette that disagrees with its count: the job ends there, with its spool
// file and values gone and the user told, rather than a page painted from
// other bytes.
TEST_F(ExifJobTest, AJobValueNotOursEndsTheJob)
{
    const struct {
        const char* name;
        DWORD type;
        std::vector<uint8_t> bytes;
        PluginCommand command;
        std::string what =
            std::string(name) + " of type " + std::to_string(type) + " at command " + std::to_string(command);
        PluginStatus status = StatusOpenFailed;
    } rows[] = {
        {"ImageFormat", REG_SZ, Text("3008"), CmdWriteBlock},
        {"ImageFormat", REG_QWORD, {0xC0, 0x0B, 0, 0, 0, 0, 0, 0}, CmdWriteBlock},
        {"ImageFormat", REG_BINARY, {0xC0, 0x0B, 0}, CmdSetPalette},
        {"ImageFormat", REG_BINARY, {0xC0, 0x0B, 0, 0, 0}, CmdBeginImage},
        {"TempFile", REG_EXPAND_SZ, {}, CmdWriteBlock},
        {"TempFile", REG_BINARY, {}, CmdWriteBlock},
        {"TempFile", REG_DWORD, {'C', ':', '\\', 0}, CmdFinish},
        {"TempFile", REG_EXPAND_SZ, {}, CmdFinish},
        {"Palette Num", REG_SZ, Text("2"), CmdWriteBlock},
        {"Palette Num", REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}, CmdWriteBlock},
        {"Palette Num", REG_BINARY, {2, 0, 0}, CmdWriteBlock},
        {"Palette Num", REG_BINARY, {2, 0, 0, 0, 0}, CmdWriteBlock},
        {"Palette Num", REG_DWORD, {1, 1, 0, 0}, CmdWriteBlock},    // 257
        {"Palette Num", REG_DWORD, {0, 0, 0, 0x40}, CmdWriteBlock}, // far past the table
        {"Palette", REG_BINARY, {30, 20, 10, 0}, CmdWriteBlock},    // one entry of two
        {"Palette", REG_BINARY, std::vector<uint8_t>(12, 9), CmdWriteBlock},
        {"Palette", REG_SZ, Text("abcdefg"), CmdWriteBlock},
    };
    const uint8_t line[4] = {0, 1, 1, 0};
    const PluginCommand* command = nullptr;
    size_t shown = 0;
    test::CheckEachFailure(
        rows,
        [&](const auto& row) {
            records.DescribeImage(300, 4, 1, 1, 8, 3);
            ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
            ASSERT_EQ(Call(CmdBeginImage), StatusOk);
            records.SetPalette({0, 10, 20, 30, 1, 40, 50, 60}, 2);
            ASSERT_EQ(Call(CmdSetPalette), StatusOk);
            // An emptied row stands for the spool file's own path in that type.
            key.SetTyped(row.name, row.type, row.bytes.empty() ? Text(key.String("TempFile").c_str()) : row.bytes);
            shown = messages.Messages().size();
            records.SetBlock(4, 4, 1, 0, line);
            command = &row.command;
        },
        [&] { return Call(*command); },
        [&](const auto&) {
            ASSERT_EQ(messages.Messages().size(), shown + 1);
            EXPECT_NE(messages.Messages().back().text.find("changed by another program"), std::string::npos)
                << messages.Messages().back().text;
            EXPECT_EQ(recorder->calls, 0);
            EXPECT_TRUE(temp.Files().empty());
            for (const char* name : {"TempFile", "ImageFormat", "LoopCount", "Palette Num", "Palette"}) {
                EXPECT_FALSE(key.HasValue(name)) << name;
            }
        });
}

TEST_F(ExifJobTest, TheExpansionHeaderIgnoresAForeignFileType)
{
    records.DescribeImage(300, 3, 2, 1, 8, 1);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    key.SetDword("File Type", 1);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    EXPECT_EQ(temp.Read(temp.Files()[0]), BlackBmp24(3, 2, 300));
    EXPECT_EQ(Call(CmdAbort), StatusOk);
}

TEST_F(ExifJobTest, BeginningAgainReplacesTheEarlierSpoolFile)
{
    records.DescribeImage(300, 3, 2, 3, 24, 2);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    records.DescribeImage(300, 4, 4, 1, 8, 1);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    ASSERT_EQ(temp.Files().size(), 1u);
    EXPECT_EQ(key.String("TempFile"), temp.Path() + temp.Files()[0] + '\0');
    EXPECT_EQ(Call(CmdAbort), StatusOk);
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(ExifJobTest, ASpoolFileWhosePathCannotBeKeptIsNotLeftBehind)
{
    std::memset(records.params.registry.keyPath, 'k', sizeof records.params.registry.keyPath);
    records.DescribeImage(300, 3, 2, 3, 24, 2);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    EXPECT_EQ(Call(CmdBeginImage), StatusCreateFailed);
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(ExifJobTest, FinishDeletesOnlyItsOwnSpoolFile)
{
    const std::string victim = temp.Path() + "letter.doc";
    WriteWholeFile(victim, {1, 2, 3});
    key.SetString("TempFile", victim);
    key.SetDword("ImageFormat", 1024);
    EXPECT_EQ(Call(CmdFinish), StatusCreateFailed);
    EXPECT_EQ(recorder->calls, 0);
    EXPECT_EQ(ReadWholeFile(victim), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(key.HasValue("TempFile"));
    EXPECT_FALSE(key.HasValue("ImageFormat"));
}

// The host's temporary folder may change while a job runs: the job goes on
// in the spool file it began, converts or discards it, and leaves nothing.
TEST_F(ExifJobTest, AJobOutlivesAChangeOfTheTemporaryFolder)
{
    for (const PluginCommand end : {CmdFinish, CmdAbort}) {
        records.DescribeImage(300, 2, 2, 1, 8, 1);
        ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
        ASSERT_EQ(Call(CmdBeginImage), StatusOk);
        TestTempDir moved;
        const uint8_t line[4] = {0x10, 0x20};
        records.SetBlock(4, 2, 1, 0, line);
        EXPECT_EQ(Call(CmdWriteBlock), StatusOk);
        EXPECT_EQ(Call(end), StatusOk);
        if (end == CmdFinish) {
            std::vector<uint8_t> expected = BlackBmp24(2, 2, 300);
            std::fill_n(expected.begin() + 62, 3, 0x10); // the top line is the last row
            std::fill_n(expected.begin() + 65, 3, 0x20);
            ASSERT_EQ(recorder->calls, 1);
            EXPECT_EQ(std::vector<uint8_t>(recorder->spoolCopy, recorder->spoolCopy + recorder->spoolCopySize),
                      expected);
        }
        EXPECT_TRUE(temp.Files().empty());
        EXPECT_TRUE(moved.Files().empty());
        EXPECT_FALSE(key.HasValue("TempFile"));
        recorder->calls = 0;
    }
}

// Forged paths to files that are not spool files of this plug-in, in the old
// folder and in the new one: none is written, converted or deleted, and a
// spool file's bytes are no passport under another name or at another size.
TEST_F(ExifJobTest, AForgedSpoolPathReachesNoOtherFileWhereverTheTemporaryFolderIs)
{
    records.DescribeImage(300, 2, 2, 3, 24, 2);
    ASSERT_EQ(Call(CmdCheckFormat), StatusOk);
    ASSERT_EQ(Call(CmdBeginImage), StatusOk);
    const std::vector<uint8_t> spool = ReadWholeFile(key.String("TempFile").c_str());
    ASSERT_EQ(Call(CmdAbort), StatusOk);
    TestTempDir moved;
    std::vector<uint8_t> longer = spool, shorter = spool;
    longer.push_back(0);
    shorter.pop_back();
    const std::pair<std::string, std::vector<uint8_t>> decoys[] = {
        {moved.Path() + "letter.doc", spool},
        {temp.Path() + "~TF1A2B.tmp", {'t', 'e', 'x', 't'}},
        {moved.Path() + "~TF3C4D.tmp", {'t', 'e', 'x', 't'}},
        {moved.Path() + "~TF5E6F.tmp", longer},
        {temp.Path() + "~TF7A8B.tmp", shorter},
        {moved.Path() + "~TFghost.tmp", spool},
    };
    for (const auto& [path, bytes] : decoys) {
        WriteWholeFile(path, bytes);
    }
    const std::string folder = moved.Path() + "~TF9C.tmp";
    CreateDirectoryA(folder.c_str(), nullptr);
    const uint8_t line[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const PluginCommand command : {CmdWriteBlock, CmdFinish, CmdAbort}) {
        for (const auto& [path, bytes] : decoys) {
            key.SetString("TempFile", path);
            key.SetDword("ImageFormat", 1024);
            records.SetBlock(8, 2, 1, 0, line);
            EXPECT_EQ(Call(command),
                      command == CmdWriteBlock   ? StatusOpenFailed
                          : command == CmdFinish ? StatusCreateFailed
                                                 : StatusOk)
                << path;
            EXPECT_EQ(ReadWholeFile(path), bytes) << path;
        }
        key.SetString("TempFile", folder);
        Call(command);
        EXPECT_EQ(GetFileAttributesA(folder.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    }
    EXPECT_EQ(recorder->calls, 0);
    RemoveDirectoryA(folder.c_str());
    for (const auto& decoy : decoys) {
        DeleteFileA(decoy.first.c_str());
    }
}

} // namespace
} // namespace vlexif
