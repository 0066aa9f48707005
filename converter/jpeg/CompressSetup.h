// The set-up every compress object of the converter shares, the page's
// strips and the thumbnail alike: BGR rows in, one component for a grey
// page, the quality's tables, and chroma kept whole from FullChromaQuality up.
#pragma once

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace vkexf {

// On a created compress object; it may ERREXIT, so the caller's jump target
// must be set.
void SetUpCompress(jpeg_compress_struct& cinfo, uint32_t width, uint32_t height, int quality, bool grey);

} // namespace vkexf
