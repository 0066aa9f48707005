// The page's sample: one MCU row in every SampleSpacing (see StripPlan.h),
// read by the workers ahead of the strips. It settles the page's mode, grey
// unless a colour pixel is met in the sample's bands, and, compressed in
// that mode, the Huffman tables every strip is coded with, and how large
// the page is expected to come out. The workers share it under their crew's
// lock; the last to arrive at each meeting decides.
#pragma once

#include "converter/base/Crew.h"
#include "converter/base/StripPlan.h"
#include "converter/jpeg/HuffmanTables.h"

#include <cstdint>

namespace vkexf {

// Rows of the page, `rows` from `top`.
struct Band {
    uint32_t top = 0;
    uint32_t rows = 0;
};

class PageSample {
public:
    // For a page `height` rows high, planned grey and in colour. Without
    // `testColour` (colour was met in an earlier pass) the page is colour.
    PageSample(Crew& crew, const StripPlan& greyPlan, const StripPlan& colourPlan, uint32_t height, bool testColour);
    PageSample(const PageSample&) = delete;
    PageSample& operator=(const PageSample&) = delete;

    // The colour test, when there is one. Its bands are those a grey page's
    // sample compresses: tested here, they need no test there. False once
    // all are taken, colour was met or the work has stopped.
    bool TestsColour() const { return testColour; }
    [[nodiscard]] bool TakeBandToTest(Band& band);
    // One colour pixel settles it: no worker takes another band to test.
    void MetColour();
    // At the first meeting: grey unless the test met colour.
    void DecideMode();

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
    bool testColour;
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
