#include "converter/survey/SurveyPlan.h"

#include "converter/base/StripPlan.h"
#include "converter/survey/ThumbnailScaler.h"

#include <algorithm>

namespace vkexf {

SurveyPlan PlanSurvey(uint32_t width, uint32_t height, uint32_t stride, uint32_t processors, size_t readBytes)
{
    SurveyPlan plan;
    plan.scalerBytes = (ThumbnailScaler::WorkBytes(width, height) + 7) / 8 * 8;
    const size_t rowBytes = stride;
    plan.readRows = static_cast<uint32_t>(std::clamp<size_t>(readBytes / stride, 1, height));
    const uint32_t reads = (height + plan.readRows - 1) / plan.readRows;
    plan.workers = std::max<uint32_t>(std::min({processors, reads, MaxWorkers}), 1);

    // Many workers on a wide page read less at a time rather than exceed
    // the budget; only when one row each is still too much are there fewer.
    const size_t share = WorkerBudgetBytes / plan.workers;
    if (plan.scalerBytes + plan.readRows * rowBytes > share) {
        const size_t rows = share > plan.scalerBytes ? (share - plan.scalerBytes) / rowBytes : 0;
        plan.readRows = static_cast<uint32_t>(std::max<size_t>(rows, 1));
        const size_t least = plan.scalerBytes + rowBytes;
        plan.workers = std::max<uint32_t>(std::min<size_t>(plan.workers, WorkerBudgetBytes / least), 1);
    }
    plan.bytesPerWorker = plan.scalerBytes + plan.readRows * rowBytes;
    return plan;
}

} // namespace vkexf
