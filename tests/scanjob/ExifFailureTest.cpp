// The EXIF plug-in's failure paths that only a failing platform reaches.
#include "scanjob/ExifPlugin.h"
#include "tests/spool/SpoolFixture.h"
#include "tests/support/CppHeapGuard.h"
#include "tests/support/HostFormats.h"
#include "tests/support/SystemCallsOverride.h"

namespace vlexif {
namespace {

using test::Call;
using test::FailCall;
using test::SystemCallsOverride;

class ExifFailureTest : public test::SpoolFixture<ExifPlugin> {
protected:
    void Begin()
    {
        records.DescribeImage(300, 4, 4, 1, 8, 1);
        ASSERT_EQ(plugin.CheckFormat(), StatusOk);
        ASSERT_EQ(plugin.BeginImage(), StatusOk);
        records.SetBlock(4, 4, 1, 0, line);
    }

    uint8_t line[4] = {9, 8, 7, 6};
    SystemCallsOverride calls;
};

// The expanded rows go through the spool's own paths, each of whose
// failures NativeSpoolTest arranges: one shows this route ending as they do.
TEST_F(ExifFailureTest, AFailedWriteOfExpandedRowsDeletesTheSpoolFile)
{
    Begin();
    FailCall(Call::Write, 1);
    EXPECT_EQ(plugin.WriteBlock(), StatusWriteFailed);
    EXPECT_TRUE(temp.Files().empty());
    EXPECT_FALSE(plugin.HoldsWorkBlock());
}

// Room is asked for the rows as expanded, three bytes a pixel.
TEST_F(ExifFailureTest, TheRoomNeededIsThatOfTheExpandedRows)
{
    records.DescribeImage(300, 100, 100, 1, 8, 3);
    ASSERT_EQ(plugin.CheckFormat(), StatusOk);
    test::FakeFreeSpace(54 + 30000 - 1);
    EXPECT_EQ(plugin.BeginImage(), StatusDiskFull);
    EXPECT_TRUE(temp.Files().empty());
    EXPECT_FALSE(key.HasValue("TempFile"));
    test::FakeFreeSpace(54 + 30000);
    EXPECT_EQ(plugin.BeginImage(), StatusOk) << "free space equal to the whole file";
}

// Nothing the host's entry could not catch: a job of every format runs
// with the C++ heap refusing all allocations.
TEST_F(ExifFailureTest, AJobNeverUsesTheCppHeap)
{
    std::vector<uint8_t> data(128 * 4, 0x5A);
    const std::vector<uint8_t> entries = {0, 1, 2, 3, 255, 4, 5, 6};
    for (const test::FormatReference& format : test::AcceptedFormats) {
        records.DescribeImage(300, 16, 8, format.samples, format.bits, format.colourType);
        PluginStatus statuses[4];
        uint32_t attempts = 0;
        {
            test::CppHeapRefused refused;
            statuses[0] = plugin.CheckFormat();
            records.SetPalette(entries, 2);
            statuses[1] = plugin.SetPalette();
            records.DescribeImage(300, 16, 8, format.samples, format.bits, format.colourType);
            statuses[2] = plugin.BeginImage();
            records.SetBlock(128, 16, 4, 2, data.data());
            statuses[3] = plugin.WriteBlock();
            Abort();
            attempts = test::CppHeapRefused::Attempts();
        }
        EXPECT_EQ(attempts, 0u) << format.name;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(statuses[k], StatusOk) << format.name << ", call " << k;
        }
        EXPECT_TRUE(temp.Files().empty()) << format.name;
    }
}

} // namespace
} // namespace vlexif
