#include "host/checks/JobSpace.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

TEST(JobSpace, TheSpoolFileIsTheHeaderAndPaddedTwentyFourBitRows)
{
    // A4 at 300, 600 and 1200 dpi: the figures the install text gives.
    EXPECT_EQ(SpoolFileBytes(2480, 3508), 54u + 7440u * 3508u);
    EXPECT_EQ(SpoolFileBytes(4960, 7016), 104398134u);
    EXPECT_EQ(SpoolFileBytes(9920, 14032), 417592374u);
    EXPECT_EQ(SpoolFileBytes(333, 1), 1054u); // 999 bytes a row, padded to 1000
    // The largest page: past 4 GB, not wrapped.
    EXPECT_EQ(SpoolFileBytes(65500, 65500), 54u + 12870750000u);
}

TEST(JobSpace, APageSideOverTheJpegLimitIsRefusedWithTheRemedy)
{
    EXPECT_EQ(PageSizeRefusal(65500, 65500), "");
    EXPECT_EQ(PageSizeRefusal(65501, 1),
              "the page, 65501 x 1 pixels, is larger than a JPEG can hold (65500 pixels "
              "a side): scan it at a lower resolution or a smaller area");
    EXPECT_NE(PageSizeRefusal(1, 65501), "");
}

TEST(JobSpace, TheJpegFloorIsAByteFor256Pixels)
{
    EXPECT_EQ(JpegFloorBytes(16, 16), 1u);
    EXPECT_EQ(JpegFloorBytes(17, 16), 2u);
    EXPECT_EQ(JpegFloorBytes(4960, 7016), 135935u);
    EXPECT_EQ(SizeText(999999), "999999 bytes");
    EXPECT_EQ(SizeText(104398134), "104.4 MB");
}

} // namespace
} // namespace vlscan
