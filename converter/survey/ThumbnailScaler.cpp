#include "converter/survey/ThumbnailScaler.h"

#include "interface/VkExfLimits.h"

#include <algorithm>
#include <cstring>

#include <emmintrin.h>

namespace vkexf {

namespace {

constexpr size_t Channels = 3;

// Rows summed per byte before they are reduced: as many as 16 bits hold,
// and few enough that a thumbnail column's sum of them (each page column
// once, by a weight of at most 1) stays within 32 bits at the widest page.
constexpr uint32_t MostPendingRows = 257;
static_assert(uint64_t{MostPendingRows} * 255 <= UINT16_MAX &&
              uint64_t{MostPendingRows} * 255 * VkExfMaxImageSide <= UINT32_MAX);

// sums[i] += bytes[i], sixteen at a time. SSE2 directly: both compilers
// otherwise widen the bytes one by one on the 32-bit target.
void AddBytes(uint16_t* sums, const uint8_t* bytes, size_t count)
{
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        auto* low = reinterpret_cast<__m128i*>(sums + i);
        auto* high = reinterpret_cast<__m128i*>(sums + i + 8);
        _mm_storeu_si128(low, _mm_add_epi16(_mm_loadu_si128(low), _mm_unpacklo_epi8(v, zero)));
        _mm_storeu_si128(high, _mm_add_epi16(_mm_loadu_si128(high), _mm_unpackhi_epi8(v, zero)));
    }
    for (; i < count; ++i) {
        sums[i] = static_cast<uint16_t>(sums[i] + bytes[i]);
    }
}

// a * b / c rounded to nearest, never below 1.
uint32_t ScaledSide(uint32_t a, uint32_t b, uint32_t c)
{
    const uint64_t scaled = (uint64_t{a} * b + c / 2) / c;
    return static_cast<uint32_t>(std::max<uint64_t>(scaled, 1));
}

} // namespace

ThumbnailSize ThumbnailSizeFor(uint32_t width, uint32_t height)
{
    if (width <= MaxThumbnailWidth && height <= MaxThumbnailHeight) {
        return {width, height};
    }
    if (uint64_t{width} * MaxThumbnailHeight >= uint64_t{height} * MaxThumbnailWidth) {
        return {MaxThumbnailWidth, ScaledSide(height, MaxThumbnailWidth, width)};
    }
    return {ScaledSide(width, MaxThumbnailHeight, height), MaxThumbnailHeight};
}

size_t ThumbnailScaler::WorkBytes(uint32_t width, uint32_t height)
{
    const ThumbnailSize size = ThumbnailSizeFor(width, height);
    return size_t{size.width} * size.height * Channels * sizeof(uint64_t) + size.width * sizeof(Span) +
        size.width * Channels * sizeof(uint32_t) + size_t{width} * Channels * sizeof(uint16_t);
}

ThumbnailScaler::ThumbnailScaler(uint32_t width, uint32_t height, void* work)
    : width(width), height(height), size(ThumbnailSizeFor(width, height))
{
    std::memset(work, 0, WorkBytes(width, height));
    sums = static_cast<uint64_t*>(work);
    spans = reinterpret_cast<Span*>(sums + size_t{size.width} * size.height * Channels);
    rowSums = reinterpret_cast<uint32_t*>(spans + size.width);
    pending = reinterpret_cast<uint16_t*>(rowSums + size.width * Channels);

    // Page column p covers [p * tw, (p + 1) * tw), thumbnail column X
    // covers [X * w, (X + 1) * w): each thumbnail column's weights add up to w.
    const uint64_t w = width, tw = size.width;
    for (uint32_t x = 0; x < size.width; ++x) {
        const uint64_t start = x * w, end = start + w;
        Span& span = spans[x];
        span.first = static_cast<uint32_t>(start / tw);
        span.last = static_cast<uint32_t>((end - 1) / tw);
        if (span.first == span.last) {
            span.firstWeight = width;
            span.lastWeight = 0;
        } else {
            span.firstWeight = static_cast<uint32_t>((span.first + 1) * tw - start);
            span.lastWeight = static_cast<uint32_t>(end - uint64_t{span.last} * tw);
        }
    }
}

template <typename Sample>
void ThumbnailScaler::SumColumns(const Sample* values)
{
    const uint32_t tw = size.width;
    for (uint32_t x = 0; x < tw; ++x) {
        const Span& span = spans[x];
        const Sample* p = values + size_t{span.first} * Channels;
        uint32_t b = p[0] * span.firstWeight, g = p[1] * span.firstWeight, r = p[2] * span.firstWeight;
        if (span.last != span.first) {
            // The whole columns between share one weight: summed first, weighted once.
            uint32_t wholeB = 0, wholeG = 0, wholeR = 0;
            const Sample* q = p + Channels;
            const Sample* lastPixel = values + size_t{span.last} * Channels;
            for (; q < lastPixel; q += Channels) {
                wholeB += q[0];
                wholeG += q[1];
                wholeR += q[2];
            }
            b += wholeB * tw + lastPixel[0] * span.lastWeight;
            g += wholeG * tw + lastPixel[1] * span.lastWeight;
            r += wholeR * tw + lastPixel[2] * span.lastWeight;
        }
        rowSums[x * Channels] = b;
        rowSums[x * Channels + 1] = g;
        rowSums[x * Channels + 2] = r;
    }
}

void ThumbnailScaler::AddRow(uint32_t y, const uint8_t* bgr)
{
    // Page row y covers [y * th, (y + 1) * th), thumbnail rows h each; a
    // page row meets at most two of them.
    const uint64_t start = uint64_t{y} * size.height, end = start + size.height;
    const auto row = static_cast<uint32_t>(start / height);
    const uint64_t boundary = (uint64_t{row} + 1) * height;
    if (end <= boundary) {
        if (pendingCount != 0 && (pendingRow != row || pendingCount == MostPendingRows)) {
            FlushPending();
        }
        pendingRow = row;
        ++pendingCount;
        AddBytes(pending, bgr, size_t{width} * Channels);
        return;
    }
    SumColumns(bgr);
    AddToRow(row, static_cast<uint32_t>(boundary - start));
    AddToRow(row + 1, static_cast<uint32_t>(end - boundary));
}

void ThumbnailScaler::Add(ThumbnailScaler& other)
{
    if (other.pendingCount != 0) {
        other.FlushPending();
    }
    for (size_t i = 0; i < size_t{size.width} * size.height * Channels; ++i) {
        sums[i] += other.sums[i];
    }
}

void ThumbnailScaler::FlushPending()
{
    SumColumns(pending);
    AddToRow(pendingRow, size.height);
    std::memset(pending, 0, size_t{width} * Channels * sizeof(uint16_t));
    pendingCount = 0;
}

void ThumbnailScaler::AddToRow(uint32_t thumbnailRow, uint32_t weight)
{
    uint64_t* rowTotals = sums + size_t{thumbnailRow} * size.width * Channels;
    for (size_t i = 0; i < size.width * Channels; ++i) {
        rowTotals[i] += uint64_t{weight} * rowSums[i];
    }
}

void ThumbnailScaler::Finish(uint8_t* bgr)
{
    if (pendingCount != 0) {
        FlushPending();
    }
    // Every thumbnail pixel's weights add up to the page's area.
    const uint64_t area = uint64_t{width} * height;
    for (size_t i = 0; i < size_t{size.width} * size.height * Channels; ++i) {
        bgr[i] = static_cast<uint8_t>((sums[i] + area / 2) / area);
    }
}

} // namespace vkexf
