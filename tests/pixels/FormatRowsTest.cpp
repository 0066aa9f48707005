// Each format's rows as the plug-in makes them, through its own table of
// walks and kernels, in every kernel variant this machine supports, against
// the one reference in tests/support: the native rows the spool writer keeps
// and the 24-bit rows the converter is handed.
#include "pixels/FormatRows.h"
#include "tests/pixels/EachSimdLevel.h"
#include "tests/support/NativeLayouts.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

using test::FormatReference;

// Rows of `block` by the reference: `row(line, out)` makes one, into a zeroed
// row; the block's first line becomes the last row.
template <class Row>
std::vector<uint8_t> ReferenceRows(int32_t lines, uint32_t distance, const uint8_t* source, uint32_t stride, Row row)
{
    std::vector<uint8_t> out(static_cast<size_t>(lines) * stride, 0);
    for (int32_t r = 0; r < lines; ++r) {
        row(source + static_cast<size_t>(r) * distance, out.data() + static_cast<size_t>(lines - 1 - r) * stride);
    }
    return out;
}

void CheckNativeRows(const FormatReference& format, const NativeConversion& native, int32_t width, int32_t lines,
                     std::mt19937& random)
{
    const int32_t bytesPerLine = test::HostBytesPerLine(format, width, random);
    const std::vector<uint8_t> source = RandomLines(random, lines, bytesPerLine);
    const HostBlock block{source.data(), bytesPerLine, width, lines, 0};
    ASSERT_TRUE(SourceCoversWalk(native.walk, block));
    const uint32_t stride = RowStride(static_cast<uint32_t>(width), format.spoolBits);
    std::vector<uint8_t> out(static_cast<size_t>(lines) * stride, 0);
    native.convert(block, SourceDistance(native.walk, block), out.data(), stride);
    const uint32_t distance = test::LineDistance(format, static_cast<uint32_t>(width), bytesPerLine);
    ASSERT_EQ(out, ReferenceRows(lines, distance, source.data(), stride, [&](const uint8_t* line, uint8_t* row) {
                  test::NativeRow(format, line, static_cast<uint32_t>(width), row, stride);
              }));
}

void CheckExpandedRows(const FormatReference& format, const Expansion& expansion,
                       const PaletteEntry (&table)[PaletteCapacity], int32_t width, int32_t lines, std::mt19937& random)
{
    const int32_t bytesPerLine =
        static_cast<int32_t>((static_cast<uint32_t>(width) * format.bits + 7) / 8 + random() % 4);
    const std::vector<uint8_t> source = RandomLines(random, lines, bytesPerLine);
    const HostBlock block{source.data(), bytesPerLine, width, lines, 0};
    ASSERT_TRUE(SourceCoversWalk(expansion.walk, block));
    const uint32_t stride = RowStride(static_cast<uint32_t>(width), 24);
    std::vector<uint8_t> out(static_cast<size_t>(lines) * stride, 0);
    expansion.expand(block, table, out.data(), stride);
    const auto* colours = reinterpret_cast<const uint8_t*>(table);
    ASSERT_EQ(out,
              ReferenceRows(lines, static_cast<uint32_t>(bytesPerLine), source.data(), stride,
                            [&](const uint8_t* line, uint8_t* row) {
                                for (uint32_t j = 0; j < static_cast<uint32_t>(width); ++j) {
                                    test::ExpandedPixel(format, line, j, colours, row + 3 * size_t{j});
                                }
                            }));
}

TEST(FormatRows, EveryFormatsRowsMatchTheReferenceInEveryVariant)
{
    std::mt19937 random(20261207);
    PaletteEntry table[PaletteCapacity];
    for (PaletteEntry& entry : table) {
        entry = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), 0};
    }
    ForEachSimdLevel([&] {
        for (const FormatReference& format : test::AcceptedFormats) {
            SCOPED_TRACE(format.name);
            const NativeConversion* native = FindNativeConversion(format.code);
            ASSERT_NE(native, nullptr);
            const Expansion* expansion = FindExpansion(format.code);
            ASSERT_EQ(expansion != nullptr, test::IsExpanded(format));
            for (int trial = 0; trial < VariantTrials; ++trial) {
                const int32_t width = VariantWidth(trial, random());
                const int32_t lines = 1 + static_cast<int32_t>(random() % 3);
                SCOPED_TRACE("width " + std::to_string(width) + ", lines " + std::to_string(lines));
                CheckNativeRows(format, *native, width, lines, random);
                if (expansion) {
                    CheckExpandedRows(format, *expansion, table, width, lines, random);
                }
                // The first wrong block says enough.
                if (testing::Test::HasFatalFailure()) {
                    return;
                }
            }
        }
    });
    for (const uint32_t code : {uint32_t{test::RefusedGray4.code}, uint32_t{FormatNone}}) {
        EXPECT_EQ(FindNativeConversion(code), nullptr);
        EXPECT_EQ(FindExpansion(code), nullptr);
    }
}

} // namespace
} // namespace vlexif
