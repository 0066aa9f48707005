// The exported entry as a host meets it: loading, dispatch, statuses, the
// message boxes, and what it writes into the host's records.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vlexif {
namespace {

using namespace vlexif::test;

// Companions of the plug-in's names in the current folder and first on PATH
// (and VkExf.dll beside the test program), where a load by bare name would
// find them, for the length of a test.
class DecoysAround {
public:
    DecoysAround() : oldPath(GetEnvironmentVariableA("PATH", nullptr, 0), '\0')
    {
        oldPath.resize(GetEnvironmentVariableA("PATH", oldPath.data(), static_cast<DWORD>(oldPath.size())));
        GetCurrentDirectoryA(sizeof oldFolder, oldFolder);
        const std::string decoys = Stage("stage-decoys");
        SetCurrentDirectoryA(decoys.c_str());
        SetEnvironmentVariableA("PATH", (decoys + ";" + oldPath).c_str());
    }
    ~DecoysAround()
    {
        SetCurrentDirectoryA(oldFolder);
        SetEnvironmentVariableA("PATH", oldPath.c_str());
    }

private:
    char oldFolder[MAX_PATH] = {};
    std::string oldPath;
};

class EntryTest : public testing::Test {
protected:
    EntryTest()
    {
        records.SetRegistry(key);
        records.params.owner = owner.Handle();
    }

    std::vector<uint8_t> Snapshot() const
    {
        std::vector<uint8_t> bytes(sizeof records.params + sizeof records.jobBytes + 64);
        std::memcpy(bytes.data(), &records.params, sizeof records.params);
        std::memcpy(bytes.data() + sizeof records.params, records.jobBytes, sizeof records.jobBytes);
        std::memcpy(bytes.data() + sizeof records.params + sizeof records.jobBytes, records.image, 64);
        return bytes;
    }

    TestRegistryKey key;
    TestTempDir temp;
    OwnerWindow owner;
    HostRecords records;
    MessageBoxCatcher messages;
};

TEST_F(EntryTest, CommandsOutsideTheTableAreRefusedSilently)
{
    PluginLibrary plugin(Stage("stage"));
    for (const uint32_t command : {9u, 0xFFFFFFFFu, 0x10009u, 0x8000u}) {
        EXPECT_EQ(plugin.Call(command, records.params), StatusBadCommand) << command;
    }
    EXPECT_TRUE(messages.Messages().empty());
    // Only the low 16 bits count: 0x10000 is describe.
    EXPECT_EQ(plugin.Call(0x10000, records.params), StatusOk);
    EXPECT_EQ(records.params.describeFlag, 1);
}

TEST_F(EntryTest, WithoutTheResourceLibraryEveryCallIsRefusedAndNothingTouched)
{
    const DecoysAround decoys;
    PluginLibrary plugin(Stage("stage-nores"));
    ASSERT_TRUE(plugin.Loaded());
    const std::vector<uint8_t> before = Snapshot();
    for (uint32_t command = 0; command <= 9; ++command) {
        EXPECT_EQ(plugin.Call(command, records.params), StatusNoResources) << command;
    }
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_FALSE(key.ExifKeyExists());
}

TEST_F(EntryTest, WithoutTheConverterTheOfferingCommandsAnswerNoConverter)
{
    const DecoysAround decoys;
    PluginLibrary plugin(Stage("stage-noconv"));
    records.DescribeImage(300, 2, 2, 3, 24, 2);
    const std::vector<uint8_t> described = Snapshot();
    for (const PluginCommand command : {CmdDescribe, CmdConfigure, CmdCheckFormat, CmdAbout}) {
        EXPECT_EQ(plugin.Call(command, records.params), StatusNoConverter) << command;
    }
    EXPECT_EQ(Snapshot(), described);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_FALSE(key.ExifKeyExists());

    // The spooling commands do not need it.
    key.SetDword("ImageFormat", 1024);
    EXPECT_EQ(plugin.Call(CmdBeginImage, records.params), StatusOk);
    EXPECT_EQ(plugin.Call(CmdSetPalette, records.params), StatusOk);
    uint8_t line[8] = {1, 2, 3, 4, 5, 6, 0, 0};
    records.SetBlock(8, 2, 1, 0, line);
    EXPECT_EQ(plugin.Call(CmdWriteBlock, records.params), StatusOk);
    EXPECT_EQ(plugin.Call(CmdFinish, records.params), StatusCreateFailed);
    EXPECT_EQ(plugin.Call(CmdAbort, records.params), StatusOk);
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(EntryTest, DescribeFillsTheTextsWithinTheirFieldsAndNothingElse)
{
    PluginLibrary plugin(Stage("stage"));
    const std::vector<uint8_t> before = Snapshot();
    ASSERT_EQ(plugin.Call(CmdDescribe, records.params), StatusOk);
    EXPECT_STREQ(records.params.displayText1, "JPEG image with EXIF data");
    EXPECT_STREQ(records.params.displayText2, "VLEXIF output plug-in");
    EXPECT_STREQ(records.job.shortText, "JPEG");
    EXPECT_STREQ(records.params.summaryText, "Compression rate: 75%; color: automatic");
    EXPECT_EQ(records.params.describeFlag, 1);
    EXPECT_EQ(records.job.firstJobFlag, 0);
    EXPECT_EQ(records.job.secondJobFlag, 1);
    const std::vector<uint8_t> after = Snapshot();
    auto inField = [](size_t at, size_t start, size_t size) { return at >= start && at < start + size; };
    const size_t job = sizeof records.params;
    for (size_t at = 0; at < after.size(); ++at) {
        const bool writable = inField(at, 0x040, 32) || inField(at, 0x060, 32) || inField(at, 0x080, 1) ||
            inField(at, 0x081, 263) || inField(at, job + 0x104, 8) || inField(at, job + 0x110, 2);
        if (!writable) {
            ASSERT_EQ(after[at], before[at]) << "byte " << at << " outside the plug-in's fields";
        }
    }
    // Only "File Type" is stored; the rate is not.
    EXPECT_EQ(key.Dword("File Type"), 0u);
    EXPECT_FALSE(key.HasValue("Compress Rate"));

    key.SetDword("Compress Rate", 40);
    ASSERT_EQ(plugin.Call(CmdDescribe, records.params), StatusOk);
    EXPECT_STREQ(records.params.summaryText, "Compression rate: 40%; color: automatic");
}

TEST_F(EntryTest, FailingStatusesShowTheirMessageOwnedByTheHostWindow)
{
    PluginLibrary plugin(Stage("stage"));
    records.DescribeImage(300, 2, 2, 1, 4, 1); // 4-bit grey
    EXPECT_EQ(plugin.Call(CmdCheckFormat, records.params), StatusBadFormat);
    EXPECT_EQ(plugin.Call(CmdWriteBlock, records.params), StatusOpenFailed); // no job
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].caption, "VLEXIF Plug-in");
    EXPECT_NE(messages.Messages()[0].text.find("format"), std::string::npos) << messages.Messages()[0].text;
    EXPECT_NE(messages.Messages()[1].text.find("temporary image file"), std::string::npos)
        << messages.Messages()[1].text;
    for (const CaughtMessage& message : messages.Messages()) {
        EXPECT_EQ(message.owner, owner.Handle());
    }
    // Statuses without a message show nothing.
    EXPECT_EQ(plugin.Call(CmdAbort, records.params), StatusOk);
    EXPECT_EQ(plugin.Call(42, records.params), StatusBadCommand);
    EXPECT_EQ(messages.Messages().size(), 2u);
}

TEST_F(EntryTest, RecordsWithoutJobOrImageAreRefusedNotFollowed)
{
    PluginLibrary plugin(Stage("stage"));
    records.job.image = nullptr;
    for (const PluginCommand command : {CmdCheckFormat, CmdSetPalette, CmdBeginImage, CmdWriteBlock}) {
        EXPECT_EQ(plugin.Call(command, records.params), StatusBadFormat) << command;
    }
    records.params.job = nullptr;
    EXPECT_EQ(plugin.Call(CmdDescribe, records.params), StatusBadFormat);
    EXPECT_EQ(plugin.Call(CmdFinish, records.params), StatusCreateFailed);
    EXPECT_EQ(plugin.Call(CmdAbort, records.params), StatusOk);
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(EntryTest, ACallWithoutAParameterBlockIsRefusedNotFollowed)
{
    PluginLibrary plugin(Stage("stage"));
    for (uint32_t command = CmdDescribe; command <= CmdAbout; ++command) {
        EXPECT_EQ(plugin.CallWithoutParams(command), StatusBadFormat) << command;
    }
    EXPECT_EQ(plugin.CallWithoutParams(9), StatusBadCommand);
    // The refusal is still shown, owned by no window since the host named none.
    const auto shown = messages.Messages();
    ASSERT_EQ(shown.size(), 9u);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_FALSE(key.ExifKeyExists());
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(EntryTest, JobValuesOutliveTheModule)
{
    PluginLibrary plugin(Stage("stage"));
    records.DescribeImage(300, 2, 2, 3, 24, 2);
    ASSERT_EQ(plugin.Call(CmdCheckFormat, records.params), StatusOk);
    plugin.Reload();
    ASSERT_EQ(plugin.Call(CmdBeginImage, records.params), StatusOk);
    plugin.Unload();
    EXPECT_EQ(key.Dword("ImageFormat"), 1024u);
    EXPECT_EQ(temp.Files().size(), 1u);
    plugin.Reload();
    EXPECT_EQ(plugin.Call(CmdAbort, records.params), StatusOk);
    EXPECT_TRUE(temp.Files().empty());
}

} // namespace
} // namespace vlexif
