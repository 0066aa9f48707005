#include "converter/jpeg/PageSample.h"

#include <algorithm>

namespace vkexf {

size_t PageSample::SampleBlocks(const StripPlan& greyPlan, uint32_t width)
{
    return size_t{greyPlan.sampleBands} * ((width + ChromaBlockSide - 1) / ChromaBlockSide);
}

PageSample::PageSample(Crew& crew, const StripPlan& greyPlan, const StripPlan& colourPlan, uint32_t width,
                       uint32_t height, ColourRule rule, BlockSums* sampleBlocks)
    : crew(crew),
      greyPlan(greyPlan),
      colourPlan(colourPlan),
      height(height),
      rule(rule),
      sampleBlocks(sampleBlocks),
      blocksPerRow((width + ChromaBlockSide - 1) / ChromaBlockSide),
      leastColourBlocks(LeastColourBlocksOf(width, height))
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
    band.index = taken;
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

void PageSample::KeepBlocks(const Band& band, const ChromaRows& blocks)
{
    // Each band has its own place: no lock for that.
    std::copy_n(blocks.Blocks(), blocksPerRow, sampleBlocks + size_t{band.index} * blocksPerRow);
    if (const uint32_t surely = blocks.SurelyColourBlocks()) {
        Crew::Hold hold(crew);
        surelyColourBlocks += surely;
        if (surelyColourBlocks >= leastColourBlocks) {
            colourMet = true;
            nextToTest = greyPlan.sampleBands;
        }
    }
}

void PageSample::DecideMode()
{
    // Met by either rule: by the tolerant one, the blocks kept are not all
    // the sample's then, but they would be colour against any paper.
    if (!Tolerant() || colourMet) {
        grey = !colourMet;
        return;
    }
    const size_t count = size_t{greyPlan.sampleBands} * blocksPerRow;
    for (size_t i = 0; i < count; ++i) {
        paper.Consider(sampleBlocks[i]);
    }
    uint32_t colour = 0;
    for (size_t i = 0; i < count; ++i) {
        colour += paper.IsColour(sampleBlocks[i]);
    }
    grey = colour < leastColourBlocks;
}

bool PageSample::AddColourBlocks(uint32_t count)
{
    Crew::Hold hold(crew);
    colourBlocks += count;
    return colourBlocks >= leastColourBlocks;
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
