#include "pixels/FormatRows.h"
#include "tests/support/FormatReference.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

using test::FormatReference;

// Which formats have rows at all; what the rows are, the spool assembly test
// and the row fuzz targets check against the same reference.
TEST(FormatRows, EveryAcceptedFormatHasItsRowsAndTheRefusedOneNone)
{
    for (const FormatReference& format : test::AcceptedFormats) {
        SCOPED_TRACE(format.name);
        EXPECT_NE(FindNativeConversion(format.code), nullptr);
        const Expansion* expansion = FindExpansion(format.code);
        ASSERT_EQ(expansion != nullptr, test::IsExpanded(format));
        if (expansion) {
            EXPECT_EQ(expansion->usesPalette, format.usesPalette);
        }
    }
    for (const uint32_t code : {uint32_t{test::RefusedGray4.code}, uint32_t{FormatNone}}) {
        EXPECT_EQ(FindNativeConversion(code), nullptr);
        EXPECT_EQ(FindExpansion(code), nullptr);
    }
}

} // namespace
} // namespace vlexif
