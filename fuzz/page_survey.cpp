// What the converter learns of arbitrary pages up to a few hundred pixels
// a side: the grey test must agree with a pixel-by-pixel one on rows of
// exactly their bytes, and the thumbnail must not depend on the order the
// rows come in, each of its pixels within the range of the page's.
#include "converter/survey/GreyRows.h"
#include "converter/survey/ThumbnailScaler.h"
#include "fuzz/HostValues.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace vlexif::fuzz {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Thumbnail(const Bytes& page, uint32_t width, uint32_t height, const std::vector<uint32_t>& order)
{
    std::vector<uint64_t> work(vkexf::ThumbnailScaler::WorkBytes(width, height) / sizeof(uint64_t) + 1);
    vkexf::ThumbnailScaler scaler(width, height, work.data());
    for (uint32_t y : order) {
        // A copy of exactly the row, so a read past it is caught.
        const uint8_t* start = page.data() + size_t{y} * width * 3;
        const Bytes row(start, start + size_t{width} * 3);
        scaler.AddRow(y, row.data());
    }
    Bytes out(size_t{scaler.Size().width} * scaler.Size().height * 3);
    scaler.Finish(out.data());
    return out;
}

} // namespace
} // namespace vlexif::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vlexif::fuzz;
    FuzzedDataProvider in(data, size);
    const uint32_t width = in.ConsumeIntegralInRange<uint32_t>(1, 400);
    const uint32_t height = in.ConsumeIntegralInRange<uint32_t>(1, 400);
    Bytes page(size_t{width} * height * 3);
    const Bytes given = in.ConsumeBytes<uint8_t>(page.size());
    std::copy(given.begin(), given.end(), page.begin());
    // Mostly grey pages, so the grey test sees both answers.
    if (in.ConsumeBool()) {
        for (size_t i = 0; i < page.size(); i += 3) {
            page[i + 1] = page[i + 2] = page[i];
        }
        if (in.ConsumeBool()) {
            page[in.ConsumeIntegralInRange<size_t>(0, page.size() - 1)] ^= 1;
        }
    }

    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* start = page.data() + size_t{y} * width * 3;
        const Bytes row(start, start + size_t{width} * 3);
        bool grey = true;
        for (size_t i = 0; i < row.size(); i += 3) {
            grey = grey && row[i] == row[i + 1] && row[i + 1] == row[i + 2];
        }
        Require(vkexf::BgrRowIsGrey(row.data(), width) == grey, "the grey test agrees pixel by pixel");
    }

    std::vector<uint32_t> order(height);
    std::iota(order.rbegin(), order.rend(), 0);
    const Bytes bottomUp = Thumbnail(page, width, height, order);
    for (uint32_t i = height; i > 1; --i) {
        std::swap(order[i - 1], order[in.ConsumeIntegralInRange<uint32_t>(0, i - 1)]);
    }
    Require(Thumbnail(page, width, height, order) == bottomUp, "rows in any order give the same thumbnail");
    for (int c = 0; c < 3; ++c) {
        uint8_t least = 255, most = 0;
        for (size_t i = c; i < page.size(); i += 3) {
            least = std::min(least, page[i]);
            most = std::max(most, page[i]);
        }
        for (size_t i = c; i < bottomUp.size(); i += 3) {
            Require(bottomUp[i] >= least && bottomUp[i] <= most, "an average lies within the page's values");
        }
    }
    return 0;
}
