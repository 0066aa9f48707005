#include "converter/jpeg/PageSample.h"

#include <algorithm>

namespace vkexf {

PageSample::PageSample(Crew& crew, const StripPlan& greyPlan, const StripPlan& colourPlan, uint32_t height,
                       bool testColour)
    : crew(crew), greyPlan(greyPlan), colourPlan(colourPlan), height(height), testColour(testColour)
{
}

bool PageSample::Take(uint32_t& next, const StripPlan& plan, Band& band)
{
    uint32_t taken = 0;
    if (!crew.Take(next, plan.sampleBands, taken)) {
        return false;
    }
    band.top = SampleBandTop(plan, height, taken);
    band.rows = std::min(plan.mcuSide, height - band.top);
    return true;
}

bool PageSample::TakeBandToTest(Band& band)
{
    return Take(nextToTest, greyPlan, band);
}

void PageSample::MetColour()
{
    Crew::Hold hold(crew);
    colourMet = true;
    nextToTest = greyPlan.sampleBands;
}

void PageSample::DecideMode()
{
    grey = !colourMet;
}

bool PageSample::TakeBandToCompress(Band& band)
{
    return Take(nextToCompress, Plan(), band);
}

void PageSample::Add(const SymbolCounts& workerCounts, uint64_t workerBytes)
{
    Crew::Hold hold(crew);
    counts.Add(workerCounts);
    bytes += workerBytes;
}

void PageSample::FitTables()
{
    for (int table = 0; table < 2; ++table) {
        dc[table] = FittedTable(counts.dc[table], true);
        ac[table] = FittedTable(counts.ac[table], false);
    }
}

uint64_t PageSample::ExpectedBytes() const
{
    const StripPlan& plan = Plan();
    const uint64_t pageMcuRows = (height + plan.mcuSide - 1) / plan.mcuSide;
    return bytes * pageMcuRows / plan.sampleBands;
}

} // namespace vkexf
