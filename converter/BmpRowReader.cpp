#include "converter/BmpRowReader.h"

#include "converter/LastFailure.h"

#include <algorithm>

namespace vkexf {

namespace {

// About a megabyte of rows per read: few calls, small constant memory.
constexpr uint32_t kBandBytes = 1 << 20;

const char* Problem(BmpError error)
{
    switch (error) {
    case BmpError::Truncated:
    case BmpError::PixelArea: return "the file is cut short";
    case BmpError::BitCount: return "not 24 bits per pixel";
    case BmpError::Compression: return "the pixels are compressed";
    case BmpError::Width:
    case BmpError::Height: return "the image has no pixels";
    case BmpError::TooLarge: return "the image is larger than a JPEG can hold";
    case BmpError::PixelOffset: return "the pixels lie outside the file";
    default: return "not a BMP file";
    }
}

} // namespace

Status BmpRowReader::Open(const char* path)
{
    path_ = path;
    file_ = FileHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file_.valid() || !GetFileSizeEx(file_.get(), &size))
        return FailWithError(StatusReadFailed, kCannotRead, path, GetLastError());
    const auto fileSize = static_cast<uint64_t>(size.QuadPart);

    uint8_t header[kBmpHeaderBytes];
    const auto headerBytes = static_cast<DWORD>(std::min<uint64_t>(sizeof header, fileSize));
    if (const Status status = ReadAt(0, header, headerBytes))
        return status;
    if (const BmpError error = ParseBmpHeader(header, headerBytes, fileSize, layout_); error != BmpError::None)
        return Fail(StatusBadFormat, kCannotRead, path, Problem(error));

    bandRows_ = std::clamp<uint32_t>(kBandBytes / layout_.stride, 1, layout_.height);
    if (!band_.Allocate(size_t{bandRows_} * layout_.stride) ||
        !rowPointers_.Allocate(size_t{bandRows_} * sizeof(uint8_t*)))
        return FailWithError(StatusNoMemory, kCannotRead, path, ERROR_NOT_ENOUGH_MEMORY);
    return StatusOk;
}

Status BmpRowReader::ReadAt(uint64_t offset, uint8_t* buffer, DWORD bytes)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN))
        return FailWithError(StatusSeekFailed, kCannotRead, path_, GetLastError());
    DWORD read = 0;
    if (!ReadFile(file_.get(), buffer, bytes, &read, nullptr))
        return FailWithError(StatusReadFailed, kCannotRead, path_, GetLastError());
    if (read != bytes)
        return Fail(StatusReadFailed, kCannotRead, path_, "the file became shorter while it was read");
    return StatusOk;
}

Status BmpRowReader::NextBand(uint8_t**& rows, unsigned& count)
{
    count = std::min(bandRows_, layout_.height - nextRow_);
    if (count == 0)
        return StatusOk;
    // A bottom-up file stores the band's rows as one run, last row first.
    const uint32_t firstStored = layout_.topDown ? nextRow_ : layout_.height - nextRow_ - count;
    if (const Status status = ReadAt(layout_.pixelOffset + uint64_t{firstStored} * layout_.stride,
                                     band_.data(), count * layout_.stride))
        return status;
    auto** pointers = reinterpret_cast<uint8_t**>(rowPointers_.data());
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t stored = layout_.topDown ? i : count - 1 - i;
        pointers[i] = band_.data() + size_t{stored} * layout_.stride;
    }
    nextRow_ += count;
    rows = pointers;
    return StatusOk;
}

} // namespace vkexf
