#include "spool/SpoolFile.h"
#include "spool/AppendZeros.h"
#include "spool/FreeSpace.h"
#include "spool/SpoolPath.h"
#include "tests/support/SystemCallsOverride.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

using test::Call;
using test::FailCall;
using test::SystemCallsOverride;
using test::TestTempDir;

// No test here meets a held file: the waits are never used up.
HeldFileWaits waits;

TEST(SpoolFile, CreateWriteSeekCloseDelete)
{
    TestTempDir temp;
    const std::string path = temp.Path() + "~TFa.tmp";
    SpoolFile file;
    ASSERT_EQ(file.Create(path.c_str(), waits), StatusOk);
    EXPECT_EQ(file.Write(4, "abcd"), StatusOk);
    EXPECT_EQ(file.Seek(0x100000001ll, FILE_BEGIN), StatusOk);
    LARGE_INTEGER position{};
    EXPECT_TRUE(SetFilePointerEx(file.Handle(), {}, &position, FILE_CURRENT));
    EXPECT_EQ(position.QuadPart, 0x100000001ll) << "a position past 4 GiB";
    EXPECT_EQ(file.Seek(-2, FILE_END), StatusOk);
    EXPECT_EQ(file.Write(1, "X"), StatusOk);
    EXPECT_EQ(file.Close(), StatusOk);
    EXPECT_EQ(file.Handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(temp.Read("~TFa.tmp"), (std::vector<uint8_t>{'a', 'b', 'X', 'd'}));
    EXPECT_EQ(SpoolFile::Delete(path.c_str(), waits), StatusOk);
    EXPECT_EQ(SpoolFile::Delete(path.c_str(), waits), StatusDeleteFailed);
}

TEST(SpoolFile, FailuresHaveTheirOwnStatuses)
{
    TestTempDir temp;
    SpoolFile file;
    EXPECT_EQ(file.Close(), StatusCloseFailed); // nothing held
    EXPECT_EQ(file.Handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file.Open((temp.Path() + "missing").c_str(), waits), StatusOpenFailed);
    EXPECT_EQ(file.Handle(), INVALID_HANDLE_VALUE); // a failed open holds nothing to close
    EXPECT_EQ(file.Create((temp.Path() + "no\\such\\dir\\f").c_str(), waits), StatusCreateFailed);
    EXPECT_EQ(file.Seek(-1, FILE_BEGIN), StatusSeekFailed);
}

TEST(SpoolFile, AShortWriteIsAFailure)
{
    TestTempDir temp;
    SpoolFile file;
    ASSERT_EQ(file.Create((temp.Path() + "~TFs.tmp").c_str(), waits), StatusOk);
    SystemCallsOverride calls;
    FailCall(Call::Write, 1, test::ShortTransfer);
    EXPECT_EQ(file.Write(10, "0123456789"), StatusWriteFailed);
    EXPECT_EQ(file.Close(), StatusOk);
}

TEST(MakeSpoolPath, MakesAnEmptyTildeTfFileInTheTemporaryFolder)
{
    TestTempDir temp;
    char path[MAX_PATH];
    ASSERT_TRUE(MakeSpoolPath(path));
    EXPECT_EQ(std::string(path).rfind(temp.Path() + "~TF", 0), 0u) << path;
    ASSERT_EQ(temp.Files().size(), 1u);
    EXPECT_TRUE(temp.Read(temp.Files()[0]).empty());
    // Nothing in an empty file proves it one of ours yet.
    EXPECT_FALSE(IsOwnSpoolPath(path, waits));
}

TEST(MakeSpoolPath, FailsCleanlyWhenNoNameCanBeMade)
{
    TestTempDir temp;
    SetEnvironmentVariableA("TMP", (temp.Path() + "gone\\").c_str());
    SetEnvironmentVariableA("TEMP", (temp.Path() + "gone\\").c_str());
    char path[MAX_PATH] = "stale";
    EXPECT_FALSE(MakeSpoolPath(path));
    EXPECT_STREQ(path, "");
}

TEST(QueryFreeSpace, ReportsWhatTheCallerMayWriteInTheSpoolFilesFolder)
{
    SystemCallsOverride calls;
    test::FakeFreeSpace(123456789012ull);
    EXPECT_EQ(QueryFreeSpace("D:\\mnt\\temp\\~TF1.tmp"), 123456789012ull);
    EXPECT_EQ(test::FreeSpaceFolder(), "D:\\mnt\\temp\\");
    test::FakeFreeSpace(FreeSpaceUnknown);
    EXPECT_EQ(QueryFreeSpace("C:\\temp\\x"), FreeSpaceUnknown);
}

TEST(QueryFreeSpace, UsesTheRealVolumeAndRefusesNonsenseRoots)
{
    EXPECT_NE(QueryFreeSpace("C:\\"), 0u);
    EXPECT_EQ(QueryFreeSpace("??"), FreeSpaceUnknown);
}

TEST(HasRoomFor, EqualPassesOneByteShortFailsUnknownPasses)
{
    EXPECT_TRUE(HasRoomFor(100, 100));
    EXPECT_FALSE(HasRoomFor(99, 100));
    EXPECT_TRUE(HasRoomFor(FreeSpaceUnknown, 0xFFFFFFFF));
    EXPECT_TRUE(HasRoomFor(0x100000000ull, 0xFFFFFFFF));
    EXPECT_FALSE(HasRoomFor(0xFFFFFFFF, 0x100000000ull));
}

class AppendZerosTest : public testing::Test {
protected:
    AppendZerosTest() { EXPECT_EQ(file.Create((temp.Path() + "~TFz.tmp").c_str(), waits), StatusOk); }

    TestTempDir temp;
    SpoolFile file;
};

TEST_F(AppendZerosTest, WritesChunksOfAtMost65535Bytes)
{
    SystemCallsOverride calls;
    FailCall(Call::Write, 0);
    ASSERT_EQ(AppendZeros(file, 196608), StatusOk);
    EXPECT_EQ(test::WriteSizes(), (std::vector<DWORD>{65535, 65535, 65535, 3}));
    ASSERT_EQ(AppendZeros(file, 26843216), StatusOk);
    EXPECT_EQ(test::WriteSizes().size(), 4u + 410u);
    EXPECT_EQ(test::WriteSizes().back(), 39401u);
    ASSERT_EQ(AppendZeros(file, 131070), StatusOk);
    EXPECT_EQ(test::WriteSizes().back(), 65535u); // no empty last chunk
    ASSERT_EQ(file.Close(), StatusOk);
    EXPECT_EQ(temp.Read("~TFz.tmp"), std::vector<uint8_t>(196608 + 26843216 + 131070, 0));
}

TEST_F(AppendZerosTest, ZeroBytesAndFailedChunksAreReported)
{
    EXPECT_EQ(AppendZeros(file, 0), StatusNoMemory);
    SystemCallsOverride calls;
    FailCall(Call::GlobalAlloc, 2);
    EXPECT_EQ(AppendZeros(file, 70000), StatusNoMemory);
    FailCall(Call::GlobalAlloc, 0);
    FailCall(Call::Write, 2);
    EXPECT_EQ(AppendZeros(file, 70000), StatusWriteFailed);
}

} // namespace
} // namespace vlexif
