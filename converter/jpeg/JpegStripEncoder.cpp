#include "converter/jpeg/JpegStripEncoder.h"

#include <jerror.h>

#include <cstring>
#include <utility>

namespace vkexf {

namespace {

constexpr int kJfifDotsPerInch = 1;
constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kRestart0 = 0xD0;
constexpr uint8_t kEndOfImage = 0xD9;

bool IsFrameHeader(uint8_t marker)
{
    // SOF0..SOF15 less DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

JpegStripEncoder::~JpegStripEncoder()
{
    if (created_)
        jpeg_destroy_compress(&cinfo_);
}

Status JpegStripEncoder::Failed() const
{
    return errors_.msg_code == JERR_OUT_OF_MEMORY ? StatusNoMemory : StatusWriteFailed;
}

Status JpegStripEncoder::Prepare(const JpegSettings& settings, unsigned restartInterval, size_t outputBytes,
                                 const ConverterCalls& calls)
{
    destination_.allocate = calls.heapAlloc;
    if (!destination_.buffer.Allocate(outputBytes, calls.heapAlloc))
        return StatusNoMemory;
    exifSegment_ = settings.exifSegment;
    exifSegmentSize_ = settings.exifSegmentSize;
    pageHeight_ = settings.height;

    cinfo_.err = errors_.Install();
    destination_.init_destination = InitDestination;
    destination_.empty_output_buffer = EmptyBuffer;
    destination_.term_destination = TermDestination;
    if (setjmp(errors_.jump))
        return Failed();
    // Marked first: a failed create leaves a struct jpeg_destroy_compress accepts.
    created_ = true;
    jpeg_create_compress(&cinfo_);
    cinfo_.dest = &destination_;
    cinfo_.image_width = settings.width;
    cinfo_.image_height = settings.height;
    cinfo_.input_components = 3;
    // The encoder's colour conversion reads BMP order itself; for one
    // component its weights sum to exactly one, so R = G = B stays the grey.
    cinfo_.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo_);
    if (settings.grey)
        jpeg_set_colorspace(&cinfo_, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo_, settings.quality, TRUE);
    cinfo_.restart_interval = restartInterval;
    cinfo_.write_JFIF_header = TRUE;
    cinfo_.density_unit = kJfifDotsPerInch;
    cinfo_.X_density = static_cast<UINT16>(settings.xDpi);
    cinfo_.Y_density = static_cast<UINT16>(settings.yDpi);
    return StatusOk;
}

Status JpegStripEncoder::Encode(uint8_t** rows, unsigned count, uint32_t index, uint32_t strips)
{
    if (setjmp(errors_.jump))
        return Failed();
    cinfo_.image_height = count;
    jpeg_start_compress(&cinfo_, TRUE);
    if (index == 0)
        jpeg_write_marker(&cinfo_, JPEG_APP0 + 1, exifSegment_, static_cast<unsigned>(exifSegmentSize_));
    while (cinfo_.next_scanline < count)
        jpeg_write_scanlines(&cinfo_, rows + cinfo_.next_scanline, count - cinfo_.next_scanline);
    jpeg_finish_compress(&cinfo_);

    uint8_t* jpeg = destination_.buffer.Address();
    end_ = destination_.used;
    if (!LocateScan(jpeg, end_, pageHeight_) || end_ < begin_ + 2 || jpeg[end_ - 1] != kEndOfImage)
        return StatusWriteFailed;
    if (index == 0)
        begin_ = 0;
    // The strip's end of image becomes the restart marker before the next.
    if (index + 1 < strips)
        jpeg[end_ - 1] = static_cast<uint8_t>(kRestart0 + index % 8);
    return StatusOk;
}

bool JpegStripEncoder::LocateScan(uint8_t* jpeg, size_t size, uint32_t pageHeight)
{
    // Past SOI, every marker up to the scan carries a 16-bit length.
    size_t at = 2;
    while (at + 4 <= size && jpeg[at] == kMarker) {
        const uint8_t marker = jpeg[at + 1];
        const size_t length = size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        if (IsFrameHeader(marker) && at + 7 <= size) {
            jpeg[at + 5] = static_cast<uint8_t>(pageHeight >> 8);
            jpeg[at + 6] = static_cast<uint8_t>(pageHeight);
        }
        at += 2 + length;
        if (marker == kStartOfScan) {
            begin_ = at;
            return at <= size;
        }
    }
    return false;
}

void JpegStripEncoder::InitDestination(j_compress_ptr cinfo)
{
    auto* destination = static_cast<MemoryDestination*>(cinfo->dest);
    destination->next_output_byte = destination->buffer.Address();
    destination->free_in_buffer = destination->buffer.Size();
}

bool JpegStripEncoder::Grow(MemoryDestination& destination)
{
    const size_t full = destination.buffer.Size();
    HeapBuffer larger;
    if (full > SIZE_MAX / 2 || !larger.Allocate(2 * full, destination.allocate))
        return false;
    std::memcpy(larger.Address(), destination.buffer.Address(), full);
    destination.buffer = std::move(larger);
    destination.next_output_byte = destination.buffer.Address() + full;
    destination.free_in_buffer = destination.buffer.Size() - full;
    return true;
}

boolean JpegStripEncoder::EmptyBuffer(j_compress_ptr cinfo)
{
    // Out of this frame before the jump, which would skip a destructor.
    if (!Grow(*static_cast<MemoryDestination*>(cinfo->dest)))
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    return TRUE;
}

void JpegStripEncoder::TermDestination(j_compress_ptr cinfo)
{
    auto* destination = static_cast<MemoryDestination*>(cinfo->dest);
    destination->used = destination->buffer.Size() - destination->free_in_buffer;
}

} // namespace vkexf
