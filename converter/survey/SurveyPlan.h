// How the first pass is shared among the workers: each takes one contiguous
// band of rows and reads it in runs of whole rows. Platform-free, so the
// limits can be checked anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

// About 256 KB of whole rows a read: a run that stays in the processor's
// cache while it is summed lets two workers finish an A4 page in two thirds
// of the time that 1 MB runs took; larger reads gain nothing from the page cache.
constexpr size_t SurveyReadBytes = 256u << 10;

struct SurveyPlan {
    uint32_t workers = 0;
    uint32_t readRows = 0;     // rows a read, at least one
    size_t scalerBytes = 0;    // a worker's thumbnail sums, a multiple of 8
    size_t bytesPerWorker = 0; // the sums and the rows read
};

// The plan for a page of `width` x `height` BGR pixels, `stride` bytes a row,
// on `processors` usable processors, reading about `readBytes` at a time.
// No worker gets less than one read; the workers together keep within the
// encoder's budget, so the memory grows with the width only.
SurveyPlan PlanSurvey(uint32_t width, uint32_t height, uint32_t stride, uint32_t processors,
                      size_t readBytes = SurveyReadBytes);

// The first row (0 at the top) of worker `worker`'s band; band `workers`
// starts at `height`. Bands differ in height by at most one row.
inline uint32_t SurveyBandTop(uint32_t height, uint32_t workers, uint32_t worker)
{
    return static_cast<uint32_t>(uint64_t{height} * worker / workers);
}

} // namespace vkexf
