#include "pixels/PixelFormat.h"
#include "tests/support/FormatReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vlexif {
namespace {

using test::FormatReference;

// Every format the reference knows, with whether the plug-in accepts it.
std::vector<std::pair<FormatReference, bool>> EveryFormat()
{
    std::vector<std::pair<FormatReference, bool>> formats = {{test::RefusedGray4, false}};
    for (const FormatReference& format : test::AcceptedFormats) {
        formats.emplace_back(format, true);
    }
    return formats;
}

TEST(PixelLayouts, HoldExactlyTheReferenceFormats)
{
    const auto formats = EveryFormat();
    size_t rows = 0;
    for (const PixelLayout& layout : PixelLayouts()) {
        ++rows;
        const auto known = std::find_if(formats.begin(), formats.end(),
                                        [&](const auto& format) { return format.first.code == layout.code; });
        ASSERT_NE(known, formats.end()) << "code " << layout.code;
        const FormatReference& format = known->first;
        SCOPED_TRACE(format.name);
        EXPECT_EQ(layout.bitsPerPixel, format.bits);
        EXPECT_EQ(layout.samplesPerPixel, format.samples);
        EXPECT_EQ(layout.colourType, format.colourType);
        EXPECT_EQ(layout.paletteEntries, format.colours);
        EXPECT_EQ(layout.spoolBits, format.spoolBits);
    }
    EXPECT_EQ(rows, formats.size());
}

TEST(ClassifyPixels, EachDescriptionHasItsCodeAndTheCodeItsSpoolFile)
{
    for (const auto& [format, accepted] : EveryFormat()) {
        SCOPED_TRACE(format.name);
        EXPECT_EQ(ClassifyPixels(format.bits, format.samples, format.colourType, 0), format.code);
        EXPECT_EQ(IsAcceptedFormat(format.code), accepted);
        EXPECT_EQ(IsRgbFormat(format.code), format.samples == 3);
        EXPECT_EQ(PaletteEntries(format.code), format.colours);
        // The stored format decides, whatever the description says by now.
        EXPECT_EQ(SpoolBitDepth(format.code, 0x10020), format.spoolBits);
    }
}

TEST(ClassifyPixels, MismatchedCombinationsAndTheMustBeZeroFieldAreRefused)
{
    EXPECT_EQ(ClassifyPixels(24, 3, 2, 1), FormatNone);
    EXPECT_EQ(ClassifyPixels(1, 1, 1, 0), FormatNone); // 1-bit grey
    EXPECT_EQ(ClassifyPixels(16, 3, 2, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(48, 1, 1, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(8, 1, 2, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(24, 3, 3, 0), FormatNone);
    EXPECT_EQ(ClassifyPixels(24 + 0x10000, 3, 2, 0), FormatNone); // whole 32-bit values compare
}

TEST(PixelFormat, CodesOutsideTheTable)
{
    EXPECT_FALSE(IsAcceptedFormat(FormatNone));
    EXPECT_FALSE(IsAcceptedFormat(1025));
    EXPECT_EQ(PaletteEntries(12345), 0u);
    // Only then does the description's depth count, cut to the header's 16 bits.
    EXPECT_EQ(SpoolBitDepth(FormatNone, 0x10020), 32u);
}

TEST(RowStride, PadsPackedBitsToFourBytes)
{
    EXPECT_EQ(RowStride(100, 24), 300u);
    EXPECT_EQ(RowStride(1, 24), 4u);
    EXPECT_EQ(RowStride(2550, 8), 2552u);
    EXPECT_EQ(RowStride(2550, 1), 320u);
    EXPECT_EQ(RowStride(5, 24), 16u);
    EXPECT_EQ(RowStride(3, 4), 4u);
    EXPECT_EQ(RowStride(0x0AAAAAAB, 24), 536870916u);
}

} // namespace
} // namespace vlexif
