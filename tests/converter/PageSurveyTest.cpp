// What the encoder's workers learn of the page, platform-free: the grey
// test, and the thumbnail's area averages against plain reference
// computations.
#include "converter/survey/GreyRows.h"
#include "converter/survey/ThumbnailScaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

namespace vkexf {
namespace {

using Bytes = std::vector<uint8_t>;

// Every byte of every pixel, at every width up to a few blocks: one changed
// byte anywhere is colour. The row is exactly its pixels, so the sanitizers
// and Valgrind see a read past it.
TEST(GreyRows, OneDifferingByteAnywhereIsColour)
{
    for (uint32_t width = 1; width <= 70; ++width) {
        Bytes row(size_t{width} * 3);
        for (size_t x = 0; x < width; ++x) {
            std::fill_n(&row[3 * x], 3, static_cast<uint8_t>(x * 37));
        }
        ASSERT_TRUE(BgrRowIsGrey(row.data(), width)) << width;
        for (size_t at = 0; at < row.size(); ++at) {
            row[at] ^= 1;
            EXPECT_FALSE(BgrRowIsGrey(row.data(), width)) << "width " << width << ", byte " << at;
            row[at] ^= 1;
        }
    }
}

TEST(ThumbnailSize, KeepsTheAspectWithinItsBounds)
{
    const struct {
        uint32_t width, height, thumbnailWidth, thumbnailHeight;
    } cases[] = {
        {4960, 7016, 85, 120},    {7016, 4960, 160, 113}, {160, 120, 160, 120}, {100, 50, 100, 50},
        {161, 1, 160, 1},         {1, 121, 1, 120},       {65000, 1, 160, 1},   {1, 65000, 1, 120},
        {65500, 65500, 120, 120}, {320, 241, 159, 120},   {1000, 10, 160, 2},   {1, 1, 1, 1},
    };
    for (const auto& c : cases) {
        const ThumbnailSize size = ThumbnailSizeFor(c.width, c.height);
        EXPECT_EQ(size.width, c.thumbnailWidth) << c.width << "x" << c.height;
        EXPECT_EQ(size.height, c.thumbnailHeight) << c.width << "x" << c.height;
    }
}

// Each thumbnail pixel by definition: the page's pixels weighted by how
// much of them its area covers, the page scaled onto the thumbnail.
Bytes ReferenceThumbnail(const Bytes& page, uint32_t width, uint32_t height)
{
    const ThumbnailSize size = ThumbnailSizeFor(width, height);
    const auto overlap = [](uint64_t a0, uint64_t a1, uint64_t b0, uint64_t b1) {
        return std::max<uint64_t>(std::min(a1, b1), std::max(a0, b0)) - std::max(a0, b0);
    };
    Bytes out(size_t{size.width} * size.height * 3);
    for (uint32_t ty = 0; ty < size.height; ++ty) {
        for (uint32_t tx = 0; tx < size.width; ++tx) {
            for (int c = 0; c < 3; ++c) {
                uint64_t sum = 0;
                for (uint32_t y = 0; y < height; ++y) {
                    const uint64_t wy = overlap(uint64_t{y} * size.height, uint64_t{y + 1} * size.height,
                                                uint64_t{ty} * height, uint64_t{ty + 1} * height);
                    for (uint32_t x = 0; wy && x < width; ++x) {
                        const uint64_t wx = overlap(uint64_t{x} * size.width, uint64_t{x + 1} * size.width,
                                                    uint64_t{tx} * width, uint64_t{tx + 1} * width);
                        sum += wx * wy * page[(size_t{y} * width + x) * 3 + c];
                    }
                }
                const uint64_t area = uint64_t{width} * height;
                out[(size_t{ty} * size.width + tx) * 3 + c] = static_cast<uint8_t>((sum + area / 2) / area);
            }
        }
    }
    return out;
}

// Rows bottom-up as a spool file stores them, or shuffled: any order works.
Bytes Scaled(const Bytes& page, uint32_t width, uint32_t height, std::mt19937* shuffle = nullptr)
{
    std::vector<uint64_t> work(ThumbnailScaler::WorkBytes(width, height) / sizeof(uint64_t) + 1);
    ThumbnailScaler scaler(width, height, work.data());
    std::vector<uint32_t> order(height);
    std::iota(order.rbegin(), order.rend(), 0);
    if (shuffle) {
        std::shuffle(order.begin(), order.end(), *shuffle);
    }
    for (uint32_t y : order) {
        scaler.AddRow(y, &page[size_t{y} * width * 3]);
    }
    Bytes out(size_t{scaler.Size().width} * scaler.Size().height * 3);
    scaler.Finish(out.data());
    return out;
}

TEST(ThumbnailScaler, AveragesEveryCoveredArea)
{
    std::mt19937 random(7);
    // 2 x 40000: 333 page rows to a thumbnail row, more than are summed at once.
    const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1},   {3, 2},   {160, 120}, {161, 121}, {333, 7},  {7, 333},
                                                   {480, 1}, {1, 600}, {407, 311}, {1000, 3},  {2, 40000}};
    for (const auto& [width, height] : sizes) {
        Bytes page(size_t{width} * height * 3);
        for (auto& byte : page) {
            byte = static_cast<uint8_t>(random());
        }
        const Bytes reference = ReferenceThumbnail(page, width, height);
        EXPECT_EQ(Scaled(page, width, height), reference) << width << "x" << height;
        EXPECT_EQ(Scaled(page, width, height, &random), reference) << width << "x" << height << " shuffled";
    }
    // The brightest such rows, where 16-bit sums of too many would wrap.
    EXPECT_EQ(Scaled(Bytes(size_t{2} * 40000 * 3, 255), 2, 40000), Bytes(size_t{120} * 3, 255));
}

// The page cut into bands at every row, so at every kind of boundary: in a
// thumbnail row's inside, on its edge, in a page row shared by two. The
// bands' sums added up make the one scaler's thumbnail, byte for byte.
TEST(ThumbnailScaler, BandsAddUpToTheWholePage)
{
    std::mt19937 random(11);
    const std::pair<uint32_t, uint32_t> sizes[] = {{3, 2}, {161, 121}, {7, 333}, {2, 700}, {333, 7}};
    for (const auto& [width, height] : sizes) {
        Bytes page(size_t{width} * height * 3);
        for (auto& byte : page) {
            byte = static_cast<uint8_t>(random());
        }
        const Bytes whole = Scaled(page, width, height);
        const size_t workBytes = ThumbnailScaler::WorkBytes(width, height) / sizeof(uint64_t) + 1;
        for (uint32_t cut = 0; cut <= height; ++cut) {
            // Three bands: the rows above the cut, the cut to a random row, the rest.
            const uint32_t bounds[] = {0, cut, cut + static_cast<uint32_t>(random() % (height - cut + 1)), height};
            std::vector<uint64_t> work[3];
            std::vector<ThumbnailScaler> scalers;
            scalers.reserve(3);
            for (int band = 0; band < 3; ++band) {
                work[band].resize(workBytes);
                ThumbnailScaler& scaler = scalers.emplace_back(width, height, work[band].data());
                for (uint32_t y = bounds[band + 1]; y-- > bounds[band];) {
                    scaler.AddRow(y, &page[size_t{y} * width * 3]);
                }
            }
            scalers[0].Add(scalers[2]);
            scalers[0].Add(scalers[1]);
            Bytes out(whole.size());
            scalers[0].Finish(out.data());
            ASSERT_EQ(out, whole) << width << "x" << height << " cut at " << bounds[1] << " and " << bounds[2];
        }
    }
}

} // namespace
} // namespace vkexf
