#include "converter/JpegFileEncoder.h"

#include <jerror.h>

namespace vkexf {

namespace {

constexpr size_t kOutputBufferBytes = 64 * 1024;
constexpr int kJfifDotsPerInch = 1;

} // namespace

Status JpegFileEncoder::Failed() const
{
    if (destination_.writeError == ERROR_DISK_FULL || destination_.writeError == ERROR_HANDLE_DISK_FULL)
        return StatusDiskFull;
    if (errors_.msg_code == JERR_OUT_OF_MEMORY)
        return StatusNoMemory;
    return StatusWriteFailed;
}

JpegFileEncoder::JpegFileEncoder(HANDLE output) : errors_(), destination_(), cinfo_()
{
    cinfo_.err = jpeg_std_error(&errors_);
    errors_.error_exit = ExitWithError;
    // A DLL in a GUI host has nowhere to print warnings.
    errors_.output_message = IgnoreMessage;

    destination_.file = output;
    destination_.init_destination = InitDestination;
    destination_.empty_output_buffer = EmptyBuffer;
    destination_.term_destination = TermDestination;
}

JpegFileEncoder::~JpegFileEncoder()
{
    if (created_)
        jpeg_destroy_compress(&cinfo_);
}

Status JpegFileEncoder::Start(const JpegSettings& settings)
{
    if (!buffer_.Allocate(kOutputBufferBytes))
        return StatusNoMemory;
    destination_.buffer = buffer_.data();
    destination_.bufferSize = buffer_.size();
    if (setjmp(errors_.jump))
        return Failed();
    // Marked first: a failed create leaves a struct jpeg_destroy_compress accepts.
    created_ = true;
    jpeg_create_compress(&cinfo_);
    cinfo_.dest = &destination_;
    cinfo_.image_width = settings.width;
    cinfo_.image_height = settings.height;
    cinfo_.input_components = 3;
    // The encoder's colour conversion reads BMP order itself.
    cinfo_.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo_);
    if (settings.grey)
        jpeg_set_colorspace(&cinfo_, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo_, settings.quality, TRUE);
    cinfo_.write_JFIF_header = TRUE;
    cinfo_.density_unit = kJfifDotsPerInch;
    cinfo_.X_density = static_cast<UINT16>(settings.xDpi);
    cinfo_.Y_density = static_cast<UINT16>(settings.yDpi);
    jpeg_start_compress(&cinfo_, TRUE);
    jpeg_write_marker(&cinfo_, JPEG_APP0 + 1, settings.exifSegment,
                      static_cast<unsigned>(settings.exifSegmentSize));
    return StatusOk;
}

Status JpegFileEncoder::WriteRows(uint8_t** rows, unsigned count)
{
    if (setjmp(errors_.jump))
        return Failed();
    jpeg_write_scanlines(&cinfo_, rows, count);
    return StatusOk;
}

Status JpegFileEncoder::Finish()
{
    if (setjmp(errors_.jump))
        return Failed();
    jpeg_finish_compress(&cinfo_);
    return StatusOk;
}

void JpegFileEncoder::ExitWithError(j_common_ptr cinfo)
{
    std::longjmp(static_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void JpegFileEncoder::IgnoreMessage(j_common_ptr) {}

void JpegFileEncoder::InitDestination(j_compress_ptr cinfo)
{
    auto* destination = static_cast<FileDestination*>(cinfo->dest);
    destination->next_output_byte = destination->buffer;
    destination->free_in_buffer = destination->bufferSize;
}

bool JpegFileEncoder::WriteAll(FileDestination& destination, size_t bytes)
{
    DWORD written = 0;
    if (WriteFile(destination.file, destination.buffer, static_cast<DWORD>(bytes), &written,
                  nullptr) &&
        written == bytes)
        return true;
    const DWORD error = GetLastError();
    destination.writeError = error ? error : ERROR_WRITE_FAULT;
    return false;
}

boolean JpegFileEncoder::EmptyBuffer(j_compress_ptr cinfo)
{
    auto* destination = static_cast<FileDestination*>(cinfo->dest);
    if (!WriteAll(*destination, destination->bufferSize))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    InitDestination(cinfo);
    return TRUE;
}

void JpegFileEncoder::TermDestination(j_compress_ptr cinfo)
{
    auto* destination = static_cast<FileDestination*>(cinfo->dest);
    if (!WriteAll(*destination, destination->bufferSize - destination->free_in_buffer))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

} // namespace vkexf
