#include "host/checks/JobSpace.h"

#include <gtest/gtest.h>

namespace vlscan {
namespace {

TEST(JobSpace, TheSpoolFileIsTheHeaderAndPaddedTwentyFourBitRows)
{
    uint64_t bytes = 0;
    // A4 at 300, 600 and 1200 dpi: the figures the install text gives.
    ASSERT_TRUE(SpoolFileBytes(2480, 3508, bytes));
    EXPECT_EQ(bytes, 54u + 7440u * 3508u);
    ASSERT_TRUE(SpoolFileBytes(4960, 7016, bytes));
    EXPECT_EQ(bytes, 104398134u);
    ASSERT_TRUE(SpoolFileBytes(9920, 14032, bytes));
    EXPECT_EQ(bytes, 417592374u);
    ASSERT_TRUE(SpoolFileBytes(333, 1, bytes)); // 999 bytes a row, padded to 1000
    EXPECT_EQ(bytes, 1054u);
    // The plug-in keeps a spool file within 2 GB.
    EXPECT_FALSE(SpoolFileBytes(30000, 30000, bytes));
    EXPECT_FALSE(SpoolFileBytes(0xFFFFFFFFu, 1, bytes));
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
