// How a page is cut for compressing on several cores: strips of whole MCU
// rows, each one restart interval, and how many workers may hold one at a
// time. Platform-free, so the limits can be checked anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkexf {

// About a megabyte of pixels a strip: at 64 rows and more, starting a strip
// costs little against compressing it (at 16 rows an A4 page took an eighth
// longer), and the strips still spread evenly over the workers.
constexpr size_t StripTargetBytes = 1u << 20;
// Where a megabyte is fewer rows, strips of this many where that costs no
// worker: at 1200 dpi a megabyte is 32 rows, and there a colour page took
// 6 to 13 % longer than with 64.
constexpr uint32_t TallStripRows = 64;
// What the workers together may hold at once, beside the page's own data:
// keeps an A4 page at 600 dpi well under 32 MB on any number of cores.
constexpr size_t WorkerBudgetBytes = 20u << 20;
// Most workers ever started: a 32-bit process sees at most 32 processors.
constexpr uint32_t MaxWorkers = 32;

// The Huffman tables are fitted to one MCU row in every SampleSpacing of the
// page, compressed ahead: a sixty-fourth of the work, and files within a
// percent of tables fitted to the whole page (one row in 32 changed A4
// pages at 600 dpi by under 0.2 %).
constexpr uint32_t SampleSpacing = 64;

// From this quality up colour keeps every chroma sample (4:4:4), so that
// coloured text and lines stay sharp; below, chroma is halved both ways
// (4:2:0), which costs little to the eye there and saves a third of the size.
constexpr int FullChromaQuality = 90;

// An MCU's side in pixels: one block for one component or full chroma, two
// blocks for 4:2:0.
constexpr uint32_t McuSide(bool grey, int quality)
{
    return grey || quality >= FullChromaQuality ? 8 : 16;
}

struct StripPlan {
    uint32_t mcuSide = 16;  // pixels
    uint32_t stripRows = 0; // a whole number of MCU rows; the last strip may be shorter
    uint32_t strips = 0;
    uint32_t restartInterval = 0; // MCUs in one strip
    uint32_t sampleBands = 0;     // one MCU row each
    uint32_t workers = 0;
    size_t bytesPerWorker = 0; // what one worker holds at most, roughly
};

// The plan for a page of `width` x `height` BGR pixels, `stride` bytes a row,
// MCUs `mcuSide` pixels square, on `processors` usable processors, with
// strips of about `stripBytes` of pixels (0: StripTargetBytes, or
// TallStripRows rows where that is more and the budget still gives as many
// workers) and `extraBytes` more a worker (its thumbnail sums). Its memory
// grows with the width only.
StripPlan PlanStrips(uint32_t width, uint32_t height, uint32_t stride, uint32_t mcuSide, uint32_t processors,
                     size_t extraBytes = 0, size_t stripBytes = 0);

// The first row of sample band `band` of `plan` for a page `height` rows
// high: the bands lie evenly over the page, each in the middle of its share.
uint32_t SampleBandTop(const StripPlan& plan, uint32_t height, uint32_t band);

} // namespace vkexf
