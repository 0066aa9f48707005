#include "host/Progress.h"
#include "host/StatusNames.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

TEST(Texts, StatusesReadByNameAndNumber)
{
    EXPECT_EQ(StatusText(209), "StatusBadFormat (209)");
    EXPECT_EQ(StatusText(202), "StatusCreateFailed (202)");
    EXPECT_EQ(StatusText(0xFFFE), "StatusNoConverter (65534)");
    EXPECT_EQ(StatusText(204), "status 204");
    EXPECT_EQ(CommandName(5), "CmdWriteBlock");
    EXPECT_EQ(CommandName(8), "CmdAbout");
    EXPECT_EQ(CommandName(9), "command 9");
}

TEST(Texts, ProgressBarFillsInProportion)
{
    EXPECT_EQ(ProgressBar(0, 4, 8), "[--------]   0%  0/4 blocks");
    EXPECT_EQ(ProgressBar(1, 4, 8), "[##------]  25%  1/4 blocks");
    EXPECT_EQ(ProgressBar(4, 4, 8), "[########] 100%  4/4 blocks");
    EXPECT_EQ(ProgressBar(0, 0, 4), "[####] 100%  0/0 blocks");
}

TEST(Texts, SummaryNamesSizeFormatBlocksTimeAndBytes)
{
    EXPECT_EQ(SummaryLine({1200, 900, "rgb24", 15, 0.845, 245760}),
              "1200x900 rgb24, 15 blocks, 0.84 s, 245760 bytes written");
}

} // namespace
} // namespace vlscan
