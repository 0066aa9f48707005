#include "converter/jpeg/JpegStripEncoder.h"

#include "converter/jpeg/CompressSetup.h"

#include <jerror.h>

#include <cstring>
#include <utility>

namespace vkexf {

namespace {

constexpr int JfifDotsPerInch = 1;
constexpr uint8_t Marker = 0xFF;
constexpr uint8_t StartOfScan = 0xDA;
constexpr uint8_t Restart0 = 0xD0;
constexpr uint8_t EndOfImage = 0xD9;

bool IsFrameHeader(uint8_t marker)
{
    // SOF0..SOF15 less DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

void Copy(const JHUFF_TBL& from, HuffmanTable& to)
{
    std::memcpy(to.bits, from.bits, sizeof to.bits);
    std::memcpy(to.values, from.huffval, sizeof to.values);
}

void Copy(const HuffmanTable& from, JHUFF_TBL& to)
{
    std::memcpy(to.bits, from.bits, sizeof to.bits);
    std::memcpy(to.huffval, from.values, sizeof to.huffval);
}

} // namespace

JpegStripEncoder::~JpegStripEncoder()
{
    if (created) {
        jpeg_destroy_compress(&cinfo);
    }
}

Status JpegStripEncoder::Failed() const
{
    return errors.msg_code == JERR_OUT_OF_MEMORY ? StatusNoMemory : StatusWriteFailed;
}

Status JpegStripEncoder::Prepare(const JpegSettings& settings, bool grey, unsigned restartInterval, size_t outputBytes)
{
    if (!destination.buffer.Allocate(outputBytes)) {
        return StatusNoMemory;
    }
    pageHeight = settings.height;

    cinfo.err = errors.Install();
    cinfo.client_data = &memory;
    destination.init_destination = InitDestination;
    destination.empty_output_buffer = EmptyBuffer;
    destination.term_destination = TermDestination;
    if (setjmp(errors.jump)) {
        return Failed();
    }
    // Marked first: a failed create leaves a struct jpeg_destroy_compress accepts.
    created = true;
    jpeg_create_compress(&cinfo);
    cinfo.dest = &destination;
    SetUpCompress(cinfo, settings.width, settings.height, settings.quality, grey);
    cinfo.restart_interval = restartInterval;
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = JfifDotsPerInch;
    cinfo.X_density = static_cast<UINT16>(settings.xDpi);
    cinfo.Y_density = static_cast<UINT16>(settings.yDpi);
    return StatusOk;
}

Status JpegStripEncoder::Compress(uint8_t** rows, unsigned count)
{
    if (setjmp(errors.jump)) {
        return Failed();
    }
    cinfo.image_height = count;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < count) {
        jpeg_write_scanlines(&cinfo, rows + cinfo.next_scanline, count - cinfo.next_scanline);
    }
    jpeg_finish_compress(&cinfo);

    uint8_t* const jpeg = destination.buffer.Address();
    end = destination.used;
    if (!LocateScan(jpeg, end, pageHeight) || end < begin + 2 || jpeg[end - 1] != EndOfImage) {
        return StatusWriteFailed;
    }
    return StatusOk;
}

Status JpegStripEncoder::Encode(uint8_t** rows, unsigned count, uint32_t index, uint32_t strips)
{
    if (const Status status = Compress(rows, count)) {
        return status;
    }
    if (index == 0) {
        begin = 0; // the headers too
    }
    // The strip's end of image becomes the restart marker before the next.
    if (index + 1 < strips) {
        destination.buffer.Address()[end - 1] = static_cast<uint8_t>(Restart0 + index % 8);
    }
    return StatusOk;
}

Status JpegStripEncoder::InsertZeros(size_t at, size_t bytes)
{
    while (destination.buffer.Size() - end < bytes) {
        if (!Grow(destination)) {
            return StatusNoMemory;
        }
    }
    uint8_t* const from = destination.buffer.Address() + begin + at;
    std::memmove(from + bytes, from, end - begin - at);
    std::memset(from, 0, bytes);
    end += bytes;
    return StatusOk;
}

Status JpegStripEncoder::Sample(uint8_t** rows, unsigned count, SymbolCounts& counts)
{
    if (const Status status = Compress(rows, count)) {
        return status;
    }
    HuffmanTable dc[2];
    HuffmanTable ac[2];
    for (int table = 0; table < 2; ++table) {
        Copy(*cinfo.dc_huff_tbl_ptrs[table], dc[table]);
        Copy(*cinfo.ac_huff_tbl_ptrs[table], ac[table]);
    }
    const uint64_t mcus = uint64_t{cinfo.MCUs_per_row} * cinfo.MCU_rows_in_scan;
    // The scan runs to the end of image.
    const uint8_t* scan = destination.buffer.Address() + begin;
    const int lumaBlocks = cinfo.comp_info[0].MCU_blocks;
    if (!CountScanSymbols(scan, end - begin - 2, mcus, lumaBlocks, cinfo.blocks_in_MCU - lumaBlocks, dc, ac, counts)) {
        return StatusWriteFailed;
    }
    return StatusOk;
}

void JpegStripEncoder::UseTables(const HuffmanTable (&dc)[2], const HuffmanTable (&ac)[2])
{
    for (int table = 0; table < 2; ++table) {
        Copy(dc[table], *cinfo.dc_huff_tbl_ptrs[table]);
        Copy(ac[table], *cinfo.ac_huff_tbl_ptrs[table]);
    }
}

bool JpegStripEncoder::LocateScan(uint8_t* jpeg, size_t size, uint32_t pageHeight)
{
    // Past SOI, every marker up to the scan carries a 16-bit length.
    size_t at = 2;
    while (at + 4 <= size && jpeg[at] == Marker) {
        const uint8_t marker = jpeg[at + 1];
        const size_t length = size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        if (IsFrameHeader(marker) && at + 7 <= size) {
            jpeg[at + 5] = static_cast<uint8_t>(pageHeight >> 8);
            jpeg[at + 6] = static_cast<uint8_t>(pageHeight);
        }
        at += 2 + length;
        if (marker == StartOfScan) {
            begin = at;
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
    if (full > SIZE_MAX / 2 || !larger.Allocate(2 * full)) {
        return false;
    }
    std::memcpy(larger.Address(), destination.buffer.Address(), full);
    destination.buffer = std::move(larger);
    destination.next_output_byte = destination.buffer.Address() + full;
    destination.free_in_buffer = destination.buffer.Size() - full;
    return true;
}

boolean JpegStripEncoder::EmptyBuffer(j_compress_ptr cinfo)
{
    // Out of this frame before the jump, which would skip a destructor.
    if (!Grow(*static_cast<MemoryDestination*>(cinfo->dest))) {
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    }
    return TRUE;
}

void JpegStripEncoder::TermDestination(j_compress_ptr cinfo)
{
    auto* destination = static_cast<MemoryDestination*>(cinfo->dest);
    destination->used = destination->buffer.Size() - destination->free_in_buffer;
}

} // namespace vkexf
