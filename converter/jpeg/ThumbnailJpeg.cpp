#include "converter/jpeg/ThumbnailJpeg.h"

#include "converter/jpeg/JpegErrors.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>

namespace vkexf {

namespace {

constexpr int kQualityStep = 10;

// Like JpegFileEncoder, the one step that calls into libjpeg sets its own
// jump target and nothing with a destructor lies between.
class ThumbnailJpeg {
public:
    ThumbnailJpeg();
    ~ThumbnailJpeg();
    ThumbnailJpeg(const ThumbnailJpeg&) = delete;
    ThumbnailJpeg& operator=(const ThumbnailJpeg&) = delete;

    // One attempt at one quality, once per object; `size` 0 when it does
    // not fit.
    Status Encode(const ThumbnailPixels& pixels, int quality, uint8_t* out, size_t capacity, size_t& size);

private:
    struct MemoryDestination : jpeg_destination_mgr {
        bool full;
    };

    static void InitDestination(j_compress_ptr cinfo);
    static boolean BufferFull(j_compress_ptr cinfo);
    static void TermDestination(j_compress_ptr cinfo);

    JpegErrors errors_;
    MemoryDestination destination_;
    jpeg_compress_struct cinfo_;
    bool created_ = false;
};

} // namespace

Status EncodeThumbnail(const ThumbnailPixels& pixels, int quality, uint8_t* out, size_t capacity, size_t& size)
{
    size = 0;
    for (int q = std::clamp(quality, 1, 100);; q = std::max(q - kQualityStep, 1)) {
        ThumbnailJpeg jpeg;
        if (const Status status = jpeg.Encode(pixels, q, out, capacity, size))
            return status;
        if (size != 0 || q == 1)
            return StatusOk;
    }
}

ThumbnailJpeg::ThumbnailJpeg() : errors_(), destination_(), cinfo_()
{
    cinfo_.err = errors_.Install();
    destination_.init_destination = InitDestination;
    destination_.empty_output_buffer = BufferFull;
    destination_.term_destination = TermDestination;
}

ThumbnailJpeg::~ThumbnailJpeg()
{
    if (created_)
        jpeg_destroy_compress(&cinfo_);
}

Status ThumbnailJpeg::Encode(const ThumbnailPixels& pixels, int quality, uint8_t* out, size_t capacity,
                             size_t& size)
{
    size = 0;
    destination_.full = false;
    destination_.next_output_byte = out;
    destination_.free_in_buffer = capacity;
    if (setjmp(errors_.jump)) {
        if (destination_.full)
            return StatusOk;
        return errors_.msg_code == JERR_OUT_OF_MEMORY ? StatusNoMemory : StatusWriteFailed;
    }
    created_ = true;
    jpeg_create_compress(&cinfo_);
    cinfo_.dest = &destination_;
    cinfo_.image_width = pixels.width;
    cinfo_.image_height = pixels.height;
    cinfo_.input_components = 3;
    cinfo_.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo_);
    if (pixels.grey)
        jpeg_set_colorspace(&cinfo_, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo_, quality, TRUE);
    // Smaller at no cost worth counting for 160 x 120, and still baseline.
    cinfo_.optimize_coding = TRUE;
    // The Exif segment around it says what JFIF would.
    cinfo_.write_JFIF_header = FALSE;
    jpeg_start_compress(&cinfo_, TRUE);
    while (cinfo_.next_scanline < cinfo_.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.bgr) + size_t{cinfo_.next_scanline} * pixels.width * 3;
        jpeg_write_scanlines(&cinfo_, &row, 1);
    }
    jpeg_finish_compress(&cinfo_);
    size = capacity - destination_.free_in_buffer;
    return StatusOk;
}

// The buffer is set before compression starts.
void ThumbnailJpeg::InitDestination(j_compress_ptr) {}

boolean ThumbnailJpeg::BufferFull(j_compress_ptr cinfo)
{
    static_cast<MemoryDestination*>(cinfo->dest)->full = true;
    ERREXIT(cinfo, JERR_BUFFER_SIZE);
    return FALSE;
}

void ThumbnailJpeg::TermDestination(j_compress_ptr) {}

} // namespace vkexf
