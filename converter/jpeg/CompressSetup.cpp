#include "converter/jpeg/CompressSetup.h"

#include "converter/base/StripPlan.h"

namespace vkexf {

void SetUpCompress(jpeg_compress_struct& cinfo, uint32_t width, uint32_t height, int quality, bool grey)
{
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    // The encoder's colour conversion reads BMP order itself; for one
    // component its weights sum to exactly one, so R = G = B stays the grey.
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    if (grey) {
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    } else if (quality >= FullChromaQuality) {
        // The defaults halve chroma both ways through luminance's factors.
        cinfo.comp_info[0].h_samp_factor = 1;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    jpeg_set_quality(&cinfo, quality, TRUE);
}

} // namespace vkexf
