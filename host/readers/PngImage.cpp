#include "host/readers/PngImage.h"

#include "host/picture/PaperRow.h"

#include <spng.h>

#include <new>

namespace vlscan {

namespace {

// Metadata chunks (text, colour profiles) are of no use to a scan; more than
// this, stored or inflated, is refused rather than held.
constexpr size_t MetadataLimit = size_t{64} << 20;

int ReadStream(spng_ctx*, void* user, void* dest, size_t length)
{
    auto* file = static_cast<std::FILE*>(user);
    if (std::fread(dest, 1, length, file) == length) {
        return 0;
    }
    return std::ferror(file) ? SPNG_IO_ERROR : SPNG_IO_EOF;
}

[[noreturn]] void Fail(int error)
{
    switch (error) {
    case SPNG_IO_EOF:
        throw ImageLoadError(EndsEarlyReason);
    case SPNG_IO_ERROR:
        throw ImageLoadError(UnreadableReason);
    case SPNG_EMEM:
        throw std::bad_alloc();
    case SPNG_ECHUNK_LIMITS:
        throw ImageLoadError("the file holds more than 64 MiB of text or other metadata");
    default:
        throw ImageLoadError("the picture data is damaged");
    }
}

void Check(int result)
{
    if (result != 0) {
        Fail(result);
    }
}

// How libspng is asked to lay out the lines: as stored where that suits the
// page, else expanded to RGB or with an alpha channel the transparency fills.
struct Layout {
    int format;
    int flags;
    uint32_t channels;
};

Layout LayoutOf(const spng_ihdr& header, bool transparency)
{
    const bool wide = header.bit_depth == 16;
    switch (header.color_type) {
    case SPNG_COLOR_TYPE_GRAYSCALE:
        if (transparency) {
            return {wide ? SPNG_FMT_GA16 : SPNG_FMT_GA8, SPNG_DECODE_TRNS, 2};
        }
        return {wide ? SPNG_FMT_PNG : SPNG_FMT_G8, 0, 1};
    case SPNG_COLOR_TYPE_TRUECOLOR:
        if (transparency) {
            return {wide ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8, SPNG_DECODE_TRNS, 4};
        }
        return {SPNG_FMT_PNG, 0, 3};
    case SPNG_COLOR_TYPE_INDEXED:
        return transparency ? Layout{SPNG_FMT_RGBA8, SPNG_DECODE_TRNS, 4} : Layout{SPNG_FMT_RGB8, 0, 3};
    case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
        return {SPNG_FMT_PNG, 0, 2};
    default:
        return {SPNG_FMT_PNG, 0, 4};
    }
}

} // namespace

void PngImage::ContextFree::operator()(spng_ctx* context) const
{
    spng_ctx_free(context);
}

std::unique_ptr<PngImage> PngImage::Open(FilePtr file, const StopCheck& stop)
{
    // The chunks' CRCs cover every stored byte; the data's Adler-32, over the
    // inflated picture, would catch only an encoder's fault and costs a
    // quarter of the decoding time.
    ContextPtr context(spng_ctx_new(SPNG_CTX_IGNORE_ADLER32));
    if (!context) {
        throw std::bad_alloc();
    }
    spng_ctx* png = context.get();
    Check(spng_set_crc_action(png, SPNG_CRC_ERROR, SPNG_CRC_ERROR));
    Check(spng_set_chunk_limits(png, MetadataLimit, MetadataLimit));
    Check(spng_set_png_stream(png, ReadStream, file.get()));
    spng_ihdr header{};
    Check(spng_get_ihdr(png, &header));
    spng_trns transparency{};
    const int trns = spng_get_trns(png, &transparency);
    if (trns != 0 && trns != SPNG_ECHUNKAVAIL) {
        Fail(trns);
    }
    const Layout layout = LayoutOf(header, trns == 0);
    const bool wide = header.bit_depth == 16;
    CheckDecodable(header.width, header.height, layout.channels, wide ? 2 : 1);
    Check(spng_decode_image(png, nullptr, 0, layout.format, layout.flags | SPNG_DECODE_PROGRESSIVE));
    std::unique_ptr<PngImage> image(new PngImage(std::move(file), std::move(context), header.width, header.height,
                                                 layout.channels, wide, header.interlace_method != 0));
    if (image->interlaced) {
        image->DecodeWhole(stop);
    }
    return image;
}

PngImage::PngImage(FilePtr file, ContextPtr context, uint32_t width, uint32_t height, uint32_t channels, bool wide,
                   bool interlaced)
    : SourceImage(width, height, channels <= 2),
      file(std::move(file)),
      context(std::move(context)),
      channels(channels),
      interlaced(interlaced),
      lineSamples(static_cast<size_t>(width) * channels)
{
    const size_t samples = interlaced ? lineSamples * height : lineSamples;
    if (wide) {
        this->wide.resize(samples);
    } else {
        narrow.resize(samples);
    }
}

void PngImage::DecodeWhole(const StopCheck& stop)
{
    for (;;) {
        if (stop()) {
            throw ReadInterrupted();
        }
        spng_row_info row{};
        int result = spng_get_row_info(context.get(), &row);
        if (result == 0) {
            const size_t start = row.row_num * lineSamples;
            result = spng_decode_row(context.get(), wide.empty() ? static_cast<void*>(&narrow[start]) : &wide[start],
                                     wide.empty() ? lineSamples : lineSamples * 2);
        }
        if (result == SPNG_EOI) {
            Check(spng_decode_chunks(context.get()));
            return;
        }
        Check(result);
    }
}

void PngImage::DecodeLine(void* at)
{
    const int result = spng_decode_row(context.get(), at, wide.empty() ? lineSamples : lineSamples * 2);
    ++nextRow;
    if (result == SPNG_EOI) {
        // libspng checks a chunk's CRC only when it reads the next chunk's
        // header: the last data chunk is checked here.
        Check(spng_decode_chunks(context.get()));
    } else {
        Check(result);
    }
}

SourceRow PngImage::Row(uint32_t y)
{
    size_t start = 0;
    if (interlaced) {
        start = y * lineSamples;
    } else {
        if (y + 1 < nextRow) {
            throw std::logic_error("PNG lines are decoded top-down only");
        }
        while (nextRow <= y) {
            DecodeLine(wide.empty() ? static_cast<void*>(narrow.data()) : wide.data());
        }
    }
    return wide.empty() ? PaperRow(&narrow[start], Width(), channels, narrowOnPaper)
                        : PaperRow(&wide[start], Width(), channels, wideOnPaper);
}

} // namespace vlscan
