#include "converter/base/StripPlan.h"

#include <algorithm>

namespace vkexf {

namespace {

// A restart interval is a 16-bit count of MCUs.
constexpr uint32_t MaxRestartInterval = 65535;

} // namespace

StripPlan PlanStrips(uint32_t width, uint32_t height, uint32_t stride, uint32_t mcuSide, uint32_t processors,
                     size_t extraBytes, size_t stripBytes)
{
    if (stripBytes == 0) {
        const StripPlan usual = PlanStrips(width, height, stride, mcuSide, processors, extraBytes, StripTargetBytes);
        const size_t tallBytes = size_t{TallStripRows} * stride;
        if (tallBytes > StripTargetBytes) {
            const StripPlan tall = PlanStrips(width, height, stride, mcuSide, processors, extraBytes, tallBytes);
            if (tall.workers >= usual.workers) {
                return tall;
            }
        }
        return usual;
    }

    StripPlan plan;
    plan.mcuSide = mcuSide;
    const uint32_t mcusPerRow = (width + plan.mcuSide - 1) / plan.mcuSide;
    const size_t mcuRowBytes = size_t{stride} * plan.mcuSide;
    const uint32_t pageMcuRows = (height + plan.mcuSide - 1) / plan.mcuSide;
    const auto wanted = static_cast<uint32_t>(std::max<size_t>(stripBytes / mcuRowBytes, 1));
    const uint32_t mcuRows = std::min({wanted, MaxRestartInterval / mcusPerRow, pageMcuRows});
    plan.stripRows = mcuRows * plan.mcuSide;
    plan.strips = (height + plan.stripRows - 1) / plan.stripRows;
    plan.restartInterval = mcuRows * mcusPerRow;
    plan.sampleBands = (pageMcuRows + SampleSpacing - 1) / SampleSpacing;

    // The strip's pixels, its compressed bytes (rarely more than the pixels),
    // libjpeg's buffers of one MCU row and the caller's share.
    plan.bytesPerWorker = 2 * mcuRowBytes * mcuRows + mcuRowBytes + extraBytes;
    const auto affordable = static_cast<uint32_t>(std::max<size_t>(WorkerBudgetBytes / plan.bytesPerWorker, 1));
    plan.workers = std::max<uint32_t>(std::min({processors, affordable, plan.strips, MaxWorkers}), 1);
    return plan;
}

uint32_t SampleBandTop(const StripPlan& plan, uint32_t height, uint32_t band)
{
    const uint64_t pageMcuRows = (height + plan.mcuSide - 1) / plan.mcuSide;
    const auto mcuRow =
        static_cast<uint32_t>((2 * uint64_t{band} + 1) * pageMcuRows / (2 * uint64_t{plan.sampleBands}));
    return mcuRow * plan.mcuSide;
}

} // namespace vkexf
