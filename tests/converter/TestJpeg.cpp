#include "tests/converter/TestJpeg.h"

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace vkexf::test {

std::vector<uint8_t> DecodeJpeg(const std::vector<uint8_t>& jpeg)
{
    jpeg_decompress_struct cinfo = {};
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    std::vector<uint8_t> pixels(size_t{cinfo.output_width} * cinfo.output_height * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &pixels[size_t{cinfo.output_scanline} * cinfo.output_width * cinfo.output_components];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return errors.num_warnings ? std::vector<uint8_t>() : pixels;
}

} // namespace vkexf::test
