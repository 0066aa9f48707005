// Worked examples of the native-depth converters; every variant against the
// reference is in FormatRowsTest.cpp.
#include "pixels/RowConverters.h"

#include "pixels/PixelFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace vlexif {
namespace {

std::vector<uint8_t> Convert(void (*convert)(const HostBlock&, uint32_t, uint8_t*, uint32_t),
                             const std::vector<uint8_t>& source, int32_t bytesPerLine, int32_t width, int32_t lines,
                             uint32_t distance, uint32_t outStride)
{
    std::vector<uint8_t> out(static_cast<size_t>(lines) * outStride, 0);
    convert(HostBlock{source.data(), bytesPerLine, width, lines, 0}, distance, out.data(), outStride);
    return out;
}

TEST(RowConverters, WorkedExamples)
{
    EXPECT_EQ(Convert(SwapRgb24Rows, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0}, 8, 2, 1, 8, 8),
              (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0, 0}));
    EXPECT_EQ(Convert(ReduceRgb48Rows, {1, 2, 3, 4, 5, 6}, 6, 1, 1, 6, 4), (std::vector<uint8_t>{6, 4, 2, 0}));
    EXPECT_EQ(Convert(ReduceGray16Rows, {0, 0x11, 0, 0x22, 0, 0x33}, 6, 3, 1, 6, 4),
              (std::vector<uint8_t>{0x11, 0x22, 0x33, 0}));
}

TEST(RowConverters, TheBlocksFirstLineBecomesTheLastRow)
{
    // Three lines of one RGB pixel, stride 4.
    const std::vector<uint8_t> source = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    EXPECT_EQ(Convert(SwapRgb24Rows, source, 4, 1, 3, 4, 4),
              (std::vector<uint8_t>{9, 8, 7, 0, 6, 5, 4, 0, 3, 2, 1, 0}));
}

TEST(CopyRows, StepsByTheGivenDistanceAndCopiesWholeStrides)
{
    // Width 5 at 8 bits: grey lines 8 bytes apart, palette lines 5 apart.
    const std::vector<uint8_t> source = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(Convert(CopyRows, source, 8, 5, 2, 8, 8),
              (std::vector<uint8_t>{9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Convert(CopyRows, source, 8, 5, 2, 5, 8),
              (std::vector<uint8_t>{6, 7, 8, 9, 10, 11, 12, 13, 1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace
} // namespace vlexif
