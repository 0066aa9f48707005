// The thumbnail's JPEG: fitting into the room the Exif segment leaves.
#include "converter/jpeg/ThumbnailJpeg.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace vkexf {
namespace {

// Noise is the worst a thumbnail can be: it must drop in quality until it
// fits, and give up without failing when nothing fits.
TEST(ThumbnailJpeg, LowersTheQualityUntilItFits)
{
    std::mt19937 random(3);
    std::vector<uint8_t> noise(160 * 120 * 3);
    for (auto& byte : noise) {
        byte = static_cast<uint8_t>(random());
    }
    const ThumbnailPixels pixels{noise.data(), 160, 120, false};
    std::vector<uint8_t> out(65536);
    size_t best = 0, squeezed = 0, none = 1;
    ASSERT_EQ(EncodeThumbnail(pixels, 100, out.data(), out.size(), best), StatusOk);
    ASSERT_EQ(EncodeThumbnail(pixels, 100, out.data(), best - 1, squeezed), StatusOk);
    EXPECT_GT(squeezed, 0u);
    EXPECT_LT(squeezed, best);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0xD8);
    EXPECT_EQ(out[squeezed - 1], 0xD9) << "a whole JPEG";
    EXPECT_EQ(EncodeThumbnail(pixels, 100, out.data(), 200, none), StatusOk);
    EXPECT_EQ(none, 0u);
}

} // namespace
} // namespace vkexf
