#include "converter/exif/Resolution.h"

#include <gtest/gtest.h>

#include <climits>

namespace vkexf {
namespace {

TEST(Resolution, RoundsToNearestWholeDpiOrDefault)
{
    EXPECT_EQ(DotsPerInch(11811), 300u);
    EXPECT_EQ(DotsPerInch(2834), 72u);
    EXPECT_EQ(DotsPerInch(23622), 600u);
    EXPECT_EQ(DotsPerInch(59), 1u); // 1.4986
    EXPECT_EQ(DotsPerInch(60), 2u); // 1.524
    EXPECT_EQ(DotsPerInch(0), DefaultDpi);
    EXPECT_EQ(DotsPerInch(-11811), DefaultDpi);
    EXPECT_EQ(DotsPerInch(19), DefaultDpi);    // rounds to 0 dpi
    EXPECT_EQ(DotsPerInch(INT32_MAX), 65535u); // JFIF's limit
}

} // namespace
} // namespace vkexf
