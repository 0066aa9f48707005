#include "converter/Resolution.h"

#include <gtest/gtest.h>

#include <climits>

namespace vkexf {
namespace {

TEST(Resolution, RoundsToNearestWholeDpi)
{
    EXPECT_EQ(DotsPerInch(11811), 300u);
    EXPECT_EQ(DotsPerInch(2834), 72u);
    EXPECT_EQ(DotsPerInch(3937), 100u);
    EXPECT_EQ(DotsPerInch(23622), 600u);
    EXPECT_EQ(DotsPerInch(20), 1u);   // 0.508 dpi rounds up
    EXPECT_EQ(DotsPerInch(59), 1u);   // 1.4986
    EXPECT_EQ(DotsPerInch(60), 2u);   // 1.524
}

TEST(Resolution, NoneOrNonsenseGivesDefault)
{
    EXPECT_EQ(DotsPerInch(0), kDefaultDpi);
    EXPECT_EQ(DotsPerInch(-11811), kDefaultDpi);
    EXPECT_EQ(DotsPerInch(19), kDefaultDpi); // rounds to 0 dpi
}

TEST(Resolution, HugeValuesFitJfif)
{
    EXPECT_EQ(DotsPerInch(INT32_MAX), 65535u);
    EXPECT_EQ(DotsPerInch(2580039), 65533u);
}

} // namespace
} // namespace vkexf
