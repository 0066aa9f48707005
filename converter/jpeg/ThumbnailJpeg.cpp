#include "converter/jpeg/ThumbnailJpeg.h"

#include "converter/jpeg/CompressSetup.h"
#include "converter/jpeg/JpegErrors.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>

namespace vkexf {

namespace {

constexpr int QualityStep = 10;

// Like JpegStripEncoder, the one step that calls into libjpeg sets its own
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

    JpegErrors errors;
    MemoryDestination destination;
    jpeg_compress_struct cinfo;
    bool created = false;
};

} // namespace

Status EncodeThumbnail(const ThumbnailPixels& pixels, int quality, uint8_t* out, size_t capacity, size_t& size)
{
    size = 0;
    for (int q = std::clamp(quality, 1, 100);; q = std::max(q - QualityStep, 1)) {
        ThumbnailJpeg jpeg;
        if (const Status status = jpeg.Encode(pixels, q, out, capacity, size)) {
            return status;
        }
        if (size != 0 || q == 1) {
            return StatusOk;
        }
    }
}

ThumbnailJpeg::ThumbnailJpeg() : errors(), destination(), cinfo()
{
    cinfo.err = errors.Install();
    destination.init_destination = InitDestination;
    destination.empty_output_buffer = BufferFull;
    destination.term_destination = TermDestination;
}

ThumbnailJpeg::~ThumbnailJpeg()
{
    if (created) {
        jpeg_destroy_compress(&cinfo);
    }
}

Status ThumbnailJpeg::Encode(const ThumbnailPixels& pixels, int quality, uint8_t* out, size_t capacity, size_t& size)
{
    size = 0;
    destination.full = false;
    destination.next_output_byte = out;
    destination.free_in_buffer = capacity;
    if (setjmp(errors.jump)) {
        if (destination.full) {
            return StatusOk;
        }
        return errors.msg_code == JERR_OUT_OF_MEMORY ? StatusNoMemory : StatusWriteFailed;
    }
    created = true;
    jpeg_create_compress(&cinfo);
    cinfo.dest = &destination;
    SetUpCompress(cinfo, pixels.width, pixels.height, quality, pixels.grey);
    // Smaller at no cost worth counting for 160 x 120, and still baseline.
    cinfo.optimize_coding = TRUE;
    // The Exif segment around it says what JFIF would.
    cinfo.write_JFIF_header = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.bgr) + size_t{cinfo.next_scanline} * pixels.width * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    size = capacity - destination.free_in_buffer;
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
