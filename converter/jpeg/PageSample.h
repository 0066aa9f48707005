// The page's sample: one MCU row in every SampleSpacing (see StripPlan.h),
// read by the workers ahead of the strips. It settles the page's mode, grey
// unless the sample's bands show colour by the page's rule, and, compressed in
// that mode, the Huffman tables every strip is coded with, and how large
// the page is expected to come out. The workers share it under their crew's
// lock; the last to arrive at each meeting decides.
#pragma once

#include "converter/base/Crew.h"
#include "converter/base/StripPlan.h"
#include "converter/jpeg/HuffmanTables.h"
#include "converter/jpeg/JpegSettings.h"
#include "converter/survey/ChromaBlocks.h"

#include <cstddef>
#include <cstdint>

namespace vkexf {

// Rows of the page, `rows` from `top`.
struct Band {
    uint32_t top = 0;
    uint32_t rows = 0;
    uint32_t index = 0; // of a sample band, counted from the top
};

class PageSample {
public:
    // For a page `width` x `height`, planned grey and in colour, judged by
    // `rule` (AlwaysColour once colour was met in an earlier pass). The
    // tolerant rule keeps the blocks of the sample's bands in
    // `sampleBlocks`: SampleBlocks(greyPlan, width) of them.
    PageSample(Crew& crew, const StripPlan& greyPlan, const StripPlan& colourPlan, uint32_t width, uint32_t height,
               ColourRule rule, BlockSums* sampleBlocks);
    static size_t SampleBlocks(const StripPlan& greyPlan, uint32_t width);
    PageSample(const PageSample&) = delete;
    PageSample& operator=(const PageSample&) = delete;

    // The colour test, when there is one. Its bands are those a grey page's
    // sample compresses: tested here, they need no test there. False once
    // all are taken, colour was met or the work has stopped.
    bool TestsColour() const { return rule != ColourRule::AlwaysColour; }
    bool Tolerant() const { return rule == ColourRule::Tolerant; }
    [[nodiscard]] bool TakeBandToTest(Band& band);
    // By the exact rule one colour pixel settles it: no worker takes
    // another band to test.
    void MetColour();
    // By the tolerant rule a band's row of blocks (see ChromaRows) is kept
    // until all are in, unless enough of the sample's blocks are surely
    // colour, which settles it as MetColour does.
    void KeepBlocks(const Band& band, const ChromaRows& blocks);
    // At the first meeting: grey unless the test met colour; by the
    // tolerant rule the paper's tone is learnt from the kept blocks first.
    void DecideMode();
    // By the tolerant rule, once the mode is known.
    const PaperTone& Paper() const { return paper; }
    // Counts colour blocks met in a grey page's strips: true once there
    // are enough to make the page colour. The whole page's count decides,
    // whatever the order the strips come in.
    [[nodiscard]] bool AddColourBlocks(uint32_t count);

    // Once the mode is known: the page's plan, and whether its strips are
    // written with one component.
    bool Grey() const { return grey; }
    const StripPlan& Plan() const { return grey ? greyPlan : colourPlan; }

    // The bands compressed in the page's mode; false once all are taken or
    // the work has stopped.
    [[nodiscard]] bool TakeBandToCompress(Band& band);
    // A worker's symbols and compressed bytes, once it has taken its bands.
    void Add(const SymbolCounts& counts, uint64_t bytes);
    // At the second meeting: tables fitted to every worker's bands together,
    // summed in integers, so the same however the bands were shared out.
    void FitTables();
    const HuffmanTable (&Dc() const)[2] { return dc; }
    const HuffmanTable (&Ac() const)[2] { return ac; }
    // What the whole page is expected to compress to, judged by its sample.
    uint64_t ExpectedBytes() const;

private:
    [[nodiscard]] bool Take(uint32_t& next, const StripPlan& plan, Band& band);

    Crew& crew;
    StripPlan greyPlan;
    StripPlan colourPlan;
    uint32_t height;
    ColourRule rule;
    BlockSums* sampleBlocks;
    uint32_t blocksPerRow;
    PaperTone paper;
    uint32_t leastColourBlocks;
    uint32_t surelyColourBlocks = 0;
    uint32_t colourBlocks = 0;
    bool grey = false;
    uint32_t nextToTest = 0;
    uint32_t nextToCompress = 0;
    bool colourMet = false;
    SymbolCounts counts = {};
    uint64_t bytes = 0;
    HuffmanTable dc[2] = {};
    HuffmanTable ac[2] = {};
};

} // namespace vkexf
