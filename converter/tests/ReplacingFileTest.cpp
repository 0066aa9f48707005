#include "converter/ConverterStatus.h"
#include "converter/ReplacingFile.h"
#include "converter/tests/TestFolder.h"

#include <gtest/gtest.h>

namespace vkexf {
namespace {

void WriteText(HANDLE file, const char* text, DWORD size)
{
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text, size, &written, nullptr));
}

TEST(ReplacingFile, AbandonedFileLeavesDestinationAlone)
{
    test::TestFolder folder;
    folder.Write("dest.jpg", {'o', 'l', 'd'});
    {
        ReplacingFile file(folder.Path("dest.jpg"));
        WriteText(file.handle(), "new", 3);
        EXPECT_EQ(folder.Files().size(), 2u) << "the temporary file sits beside it";
    }
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"dest.jpg"});
    EXPECT_EQ(folder.Read("dest.jpg"), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(ReplacingFile, CommitReplacesDestination)
{
    test::TestFolder folder;
    folder.Write("dest.jpg", {'o', 'l', 'd'});
    {
        ReplacingFile file(folder.Path("dest.jpg"));
        WriteText(file.handle(), "new!", 4);
        file.Commit();
    }
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"dest.jpg"});
    EXPECT_EQ(folder.Read("dest.jpg"), (std::vector<uint8_t>{'n', 'e', 'w', '!'}));
}

TEST(ReplacingFile, MissingFolderIsCreateFailure)
{
    test::TestFolder folder;
    try {
        ReplacingFile file(folder.Path("none\\dest.jpg"));
        FAIL() << "created a file in a missing folder";
    } catch (const ConverterError& error) {
        EXPECT_EQ(error.status(), StatusCreateFailed);
    }
}

} // namespace
} // namespace vkexf
