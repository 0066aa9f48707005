// The page's thumbnail, at most 160 x 120 with the page's aspect, each
// thumbnail pixel the exact average of the page area it covers (partly
// covered pixels count by the share they contribute). Rows come one at a
// time in any order, so the page is never held; the working memory grows
// with the width only. Rows in either direction are fastest: those wholly
// inside one thumbnail row are summed byte by byte first and reduced to
// thumbnail columns once per thumbnail row.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

constexpr uint32_t MaxThumbnailWidth = 160;
constexpr uint32_t MaxThumbnailHeight = 120;

struct ThumbnailSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// The largest size within 160 x 120 with the page's aspect, each side at
// least 1; a page that fits already keeps its own size.
ThumbnailSize ThumbnailSizeFor(uint32_t width, uint32_t height);

class ThumbnailScaler {
public:
    // Working memory for a page of this size: at most about 460 KB, plus 6
    // bytes a page column.
    static size_t WorkBytes(uint32_t width, uint32_t height);

    // `work`: WorkBytes(width, height) bytes aligned for uint64_t, owned by
    // the caller and cleared here. Width and height are 1 to VkExfMaxImageSide.
    ThumbnailScaler(uint32_t width, uint32_t height, void* work);

    ThumbnailSize Size() const { return size; }

    // Adds page row `y` (0 at the top): `width` BGR pixels. Each row once.
    void AddRow(uint32_t y, const uint8_t* bgr);

    // Takes in the rows `other`, a scaler of the same page, was given: the
    // sums are integers, so the thumbnail is the same however the page's
    // rows were shared out among scalers.
    void Add(ThumbnailScaler& other);

    // The averages once every row is in: BGR, top row first, 3 * width bytes a row.
    void Finish(uint8_t* bgr);

private:
    // The page columns a thumbnail column covers: those strictly between
    // `first` and `last` wholly, with weight tw (the thumbnail width), the
    // two ends by the part they cover; the weights add up to the page width.
    struct Span {
        uint32_t first;
        uint32_t last;
        uint32_t firstWeight;
        uint32_t lastWeight;
    };

    // Sums `values` (a page row, or several summed) into rowSums_.
    template <typename Sample>
    void SumColumns(const Sample* values);
    void AddToRow(uint32_t thumbnailRow, uint32_t weight);
    void FlushPending();

    uint32_t width;
    uint32_t height;
    ThumbnailSize size;
    uint64_t* sums;    // per thumbnail pixel and channel, weighted by area
    Span* spans;       // per thumbnail column
    uint32_t* rowSums; // the current page row, per thumbnail column and channel
    uint16_t* pending; // whole page rows of one thumbnail row, summed per byte
    uint32_t pendingRow = 0;
    uint32_t pendingCount = 0;
};

} // namespace vkexf
