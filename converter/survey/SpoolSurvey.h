// The first pass over a spool file, before any encoding: is the page grey,
// and its thumbnail. Every usable processor surveys one band of rows in
// runs of reads in the order the file stores them (the plug-in has just
// written them, so they come from the page cache); the bands' thumbnail
// sums are integers and add up to the same thumbnail however the page was
// shared out. Memory grows with the width only, and is all freed before the
// encoder's workers take theirs.
#pragma once

#include "converter/base/ConverterCalls.h"
#include "converter/base/ConverterStatus.h"
#include "converter/base/HeapBuffer.h"
#include "converter/files/BmpRowReader.h"
#include "converter/survey/SurveyPlan.h"
#include "converter/survey/ThumbnailScaler.h"

#include <cstddef>
#include <cstdint>

namespace vkexf {

class SpoolSurvey {
public:
    // Reads about `readBytes` at a time (see SurveyPlan.h).
    explicit SpoolSurvey(const ConverterCalls& calls = SystemCalls(), size_t readBytes = SurveyReadBytes)
        : calls(calls), readBytes(readBytes)
    {
    }

    // Reads every row `reader` holds. A failure has recorded its reason,
    // every worker has ended, and there is no result.
    Status Run(const BmpRowReader& reader);

    // Every pixel has B = G = R.
    bool Grey() const { return grey; }
    ThumbnailSize ThumbnailDimensions() const { return thumbnailSize; }
    // BGR, top row first, 3 * thumbnailDimensions().width bytes a row.
    const uint8_t* Thumbnail() const { return thumbnail.Address(); }

private:
    ConverterCalls calls;
    size_t readBytes;
    bool grey = false;
    ThumbnailSize thumbnailSize;
    HeapBuffer thumbnail;
};

} // namespace vkexf
