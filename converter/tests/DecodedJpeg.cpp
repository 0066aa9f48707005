#include "converter/tests/DecodedJpeg.h"

#include <csetjmp>
#include <cmath>
#include <cstdio>

#include <jpeglib.h>

namespace vkexf::test {

namespace {

struct ErrorManager : jpeg_error_mgr {
    std::jmp_buf jump;
};

void ExitWithError(j_common_ptr cinfo)
{
    std::longjmp(static_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Only C frames and trivially destructible locals lie between setjmp and longjmp.
bool Decode(jpeg_decompress_struct& cinfo, ErrorManager& errors, const std::vector<uint8_t>& data,
            DecodedJpeg& out)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.width = cinfo.output_width;
    out.height = cinfo.output_height;
    out.rgb.resize(size_t{out.width} * out.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.rgb.data() + size_t{cinfo.output_scanline} * out.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    out.jfif = cinfo.saw_JFIF_marker;
    out.densityUnit = cinfo.density_unit;
    out.xDensity = cinfo.X_density;
    out.yDensity = cinfo.Y_density;
    for (auto* marker = cinfo.marker_list; marker; marker = marker->next)
        out.app1.emplace_back(reinterpret_cast<const char*>(marker->data), marker->data_length);
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

Rgb DecodedJpeg::At(uint32_t x, uint32_t y) const
{
    const uint8_t* p = rgb.data() + (size_t{y} * width + x) * 3;
    return Rgb{p[0], p[1], p[2]};
}

double DecodedJpeg::Psnr(const PixelFn& expected) const
{
    double squares = 0;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const Rgb want = expected(x, y);
            const Rgb got = At(x, y);
            for (const auto& [a, b] : {std::pair{want.r, got.r}, {want.g, got.g}, {want.b, got.b}})
                squares += (double(a) - b) * (double(a) - b);
        }
    }
    const double mse = squares / (3.0 * width * height);
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

DecodedJpeg DecodeJpeg(const std::vector<uint8_t>& data)
{
    jpeg_decompress_struct cinfo = {};
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = ExitWithError;
    DecodedJpeg out;
    out.ok = Decode(cinfo, errors, data, out);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

} // namespace vkexf::test
