// Random images in every native format, cut into random blocks delivered in
// random order: the rows the plug-in's own walk and converter for each format
// produce, placed by seeking back from the end, assemble into exactly the
// pixel area the reference gives. Every block lives in a buffer of exactly its
// size, so AddressSanitizer sees any read past it.
#include "pixels/FormatRows.h"
#include "pixels/HostBlock.h"
#include "pixels/PixelFormat.h"
#include "tests/support/NativeLayouts.h"

#include <gtest/gtest.h>

namespace vlexif {
namespace {

using test::FormatReference;

TEST(SpoolAssembly, RandomBlocksAssembleTheWholeImage)
{
    std::mt19937 random(99);
    for (const FormatReference& c : test::AcceptedFormats) {
        const NativeConversion* production = FindNativeConversion(c.code);
        ASSERT_NE(production, nullptr) << c.name;
        for (int trial = 0; trial < 40; ++trial) {
            const int32_t width = 1 + static_cast<int32_t>(random() % 90);
            const int32_t height = 1 + static_cast<int32_t>(random() % 30);
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(width) + "x" + std::to_string(height));
            const uint32_t stride = RowStride(static_cast<uint32_t>(width), c.spoolBits);
            std::vector<uint8_t> area(static_cast<size_t>(stride) * height, 0);
            std::vector<uint8_t> expected(area.size(), 0);
            for (const test::HostLines& lines : test::RandomBlocks(c, width, height, random)) {
                const HostBlock block{lines.data.data(), lines.bytesPerLine, width, lines.lines, lines.first};
                ASSERT_TRUE(SourceCoversWalk(production->walk, block));
                ASSERT_TRUE(BlockFitsPixelArea(block, c.spoolBits, area.size()));
                std::vector<uint8_t> rows(static_cast<size_t>(lines.lines) * stride, 0);
                production->convert(block, SourceDistance(production->walk, block), rows.data(), stride);
                std::copy(rows.begin(), rows.end(),
                          area.end() - static_cast<ptrdiff_t>((lines.first + lines.lines) * stride));
                test::PaintNativeRows(c, width, height, lines, expected);
            }
            ASSERT_EQ(area, expected);
        }
    }
}

} // namespace
} // namespace vlexif
