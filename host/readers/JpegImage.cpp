#include "host/readers/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <new>
#include <stdexcept>

#include <jerror.h>
#include <jpeglib.h>

namespace vlscan {

namespace {

// More scans than any encoder writes; each one is a pass over the whole
// picture, so a file of thousands of tiny scans would take hours.
constexpr int MaxScans = 1000;

enum class Failure { Library, EndsEarly, Unreadable, Damaged, Interrupted };

} // namespace

struct JpegImage::Decoder {
    explicit Decoder(FilePtr file) : file(std::move(file)), buffer(size_t{64} << 10) {}
    ~Decoder() { jpeg_destroy_decompress(&info); }

    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_source_mgr source{};
    jpeg_progress_mgr progress{};
    // Where libjpeg's errors and the source's failures land: libjpeg cannot
    // return from one.
    std::jmp_buf escape{};
    Failure failure = Failure::Library;
    FilePtr file;
    const StopCheck* stop = nullptr; // while the scans are read
    std::vector<JOCTET> buffer;
};

namespace {

using Decoder = JpegImage::Decoder;

Decoder& DecoderOf(j_common_ptr info)
{
    return *static_cast<Decoder*>(info->client_data);
}

Decoder& DecoderOf(j_decompress_ptr info)
{
    return *static_cast<Decoder*>(info->client_data);
}

[[noreturn]] void Escape(Decoder& decoder, Failure failure)
{
    decoder.failure = failure;
    std::longjmp(decoder.escape, 1);
}

[[noreturn]] void OnError(j_common_ptr info)
{
    Escape(DecoderOf(info), Failure::Library);
}

// Warnings about damaged data are kept quiet: what can be decoded is.
void OnMessage(j_common_ptr) {}

void OnProgress(j_common_ptr info)
{
    Decoder& decoder = DecoderOf(info);
    if ((*decoder.stop)()) {
        Escape(decoder, Failure::Interrupted);
    }
    if (decoder.info.input_scan_number > MaxScans) {
        Escape(decoder, Failure::Damaged);
    }
}

void StartSource(j_decompress_ptr) {}

void EndSource(j_decompress_ptr) {}

// The end of the file is a failure: libjpeg's own sources would make up an
// end marker instead, and parsers can ask for one forever.
boolean FillSource(j_decompress_ptr info)
{
    Decoder& decoder = DecoderOf(info);
    const size_t got = std::fread(decoder.buffer.data(), 1, decoder.buffer.size(), decoder.file.get());
    if (got == 0) {
        Escape(decoder, std::ferror(decoder.file.get()) ? Failure::Unreadable : Failure::EndsEarly);
    }
    decoder.source.next_input_byte = decoder.buffer.data();
    decoder.source.bytes_in_buffer = got;
    return TRUE;
}

void SkipSource(j_decompress_ptr info, long bytes)
{
    jpeg_source_mgr& source = *info->src;
    while (bytes > static_cast<long>(source.bytes_in_buffer)) {
        bytes -= static_cast<long>(source.bytes_in_buffer);
        FillSource(info);
    }
    if (bytes > 0) {
        source.next_input_byte += bytes;
        source.bytes_in_buffer -= static_cast<size_t>(bytes);
    }
}

// Runs `step`, some libjpeg calls; false when libjpeg or the source gave up
// on the file by jumping back here. The frames jumped over hold nothing
// that needs destroying.
template <class Step>
bool Attempt(Decoder& decoder, const Step& step)
{
    if (setjmp(decoder.escape) != 0) {
        return false;
    }
    step();
    return true;
}

[[noreturn]] void ThrowFailure(const Decoder& decoder)
{
    switch (decoder.failure) {
    case Failure::Interrupted:
        throw ReadInterrupted();
    case Failure::EndsEarly:
        throw ImageLoadError(EndsEarlyReason);
    case Failure::Unreadable:
        throw ImageLoadError(UnreadableReason);
    case Failure::Library:
        if (decoder.errors.msg_code == JERR_OUT_OF_MEMORY) {
            throw std::bad_alloc();
        }
        break;
    case Failure::Damaged:
        break;
    }
    throw ImageLoadError("the picture data is damaged");
}

// A CMYK sample pair as RGB does it: Adobe's files store the inks inverted.
uint8_t InkOnPaper(uint32_t colour, uint32_t black)
{
    const uint32_t t = colour * black + 128;
    return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

} // namespace

std::unique_ptr<JpegImage> JpegImage::Open(FilePtr file, const StopCheck& stop)
{
    auto decoder = std::make_unique<Decoder>(std::move(file));
    Decoder& d = *decoder;
    jpeg_decompress_struct& info = d.info;
    info.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = OnError;
    d.errors.output_message = OnMessage;
    info.client_data = &d;
    d.source.init_source = StartSource;
    d.source.fill_input_buffer = FillSource;
    d.source.skip_input_data = SkipSource;
    d.source.resync_to_restart = jpeg_resync_to_restart;
    d.source.term_source = EndSource;
    d.progress.progress_monitor = OnProgress;
    d.stop = &stop;
    const bool read = Attempt(d, [&info, &d] {
        jpeg_create_decompress(&info);
        info.src = &d.source;
        info.progress = &d.progress;
        jpeg_read_header(&info, TRUE);
    });
    if (!read) {
        ThrowFailure(d);
    }
    uint32_t channels = 3;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        channels = 1;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        channels = 4;
        break;
    default:
        info.out_color_space = JCS_RGB;
        break;
    }
    CheckDecodable(info.image_width, info.image_height, channels == 1 ? 1 : 3, 1);
    if (!Attempt(d, [&info] { jpeg_start_decompress(&info); })) {
        ThrowFailure(d);
    }
    // Every scan is in; the lines are the caller's to pace.
    info.progress = nullptr;
    d.stop = nullptr;
    const uint32_t width = info.output_width;
    const uint32_t height = info.output_height;
    return std::unique_ptr<JpegImage>(new JpegImage(std::move(decoder), width, height, channels));
}

JpegImage::JpegImage(std::unique_ptr<Decoder> decoder, uint32_t width, uint32_t height, uint32_t channels)
    : SourceImage(width, height, channels == 1),
      decoder(std::move(decoder)),
      channels(channels),
      line(static_cast<size_t>(width) * channels),
      rgb(channels == 4 ? static_cast<size_t>(width) * 3 : 0)
{
}

JpegImage::~JpegImage() = default;

SourceRow JpegImage::Row(uint32_t y)
{
    if (y + 1 < nextRow) {
        throw std::logic_error("JPEG lines are decoded top-down only");
    }
    Decoder& d = *decoder;
    while (nextRow <= y) {
        JSAMPROW at = line.data();
        if (!Attempt(d, [&d, &at] { jpeg_read_scanlines(&d.info, &at, 1); })) {
            ThrowFailure(d);
        }
        ++nextRow;
        // The rest of the file up to its end marker, which a cut file lacks.
        if (nextRow == Height() && !Attempt(d, [&d] { jpeg_finish_decompress(&d.info); })) {
            ThrowFailure(d);
        }
    }
    if (channels != 4) {
        return SourceRow(line.data(), channels);
    }
    for (size_t x = 0; x < Width(); ++x) {
        for (size_t c = 0; c < 3; ++c) {
            rgb[3 * x + c] = InkOnPaper(line[4 * x + c], line[4 * x + 3]);
        }
    }
    return SourceRow(rgb.data(), 3);
}

} // namespace vlscan
