#include "converter/BmpRowReader.h"

#include "converter/ConverterStatus.h"

#include <algorithm>

namespace vkexf {

namespace {

// About a megabyte of rows per read: few calls, small constant memory.
constexpr uint32_t kBandBytes = 1 << 20;

void ReadAt(HANDLE file, uint64_t offset, uint8_t* buffer, DWORD bytes)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
        throw ConverterError(StatusSeekFailed);
    DWORD read = 0;
    if (!ReadFile(file, buffer, bytes, &read, nullptr) || read != bytes)
        throw ConverterError(StatusReadFailed);
}

} // namespace

BmpRowReader::BmpRowReader(const char* path)
    : file_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (!file_.valid())
        throw ConverterError(StatusReadFailed);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size))
        throw ConverterError(StatusReadFailed);
    const auto fileSize = static_cast<uint64_t>(size.QuadPart);

    uint8_t header[kBmpHeaderBytes];
    const auto headerBytes = static_cast<DWORD>(std::min<uint64_t>(sizeof header, fileSize));
    ReadAt(file_.get(), 0, header, headerBytes);
    if (ParseBmpHeader(header, headerBytes, fileSize, layout_) != BmpError::None)
        throw ConverterError(StatusBadFormat);

    bandRows_ = std::clamp<uint32_t>(kBandBytes / layout_.stride, 1, layout_.height);
    band_.resize(size_t{bandRows_} * layout_.stride);
    rowPointers_.resize(bandRows_);
}

unsigned BmpRowReader::NextBand(uint8_t**& rows)
{
    const uint32_t count = std::min(bandRows_, layout_.height - nextRow_);
    if (count == 0)
        return 0;
    // A bottom-up file stores the band's rows as one run, last row first.
    const uint32_t firstStored = layout_.topDown ? nextRow_ : layout_.height - nextRow_ - count;
    ReadAt(file_.get(), layout_.pixelOffset + uint64_t{firstStored} * layout_.stride, band_.data(),
           count * layout_.stride);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t stored = layout_.topDown ? i : count - 1 - i;
        rowPointers_[i] = band_.data() + size_t{stored} * layout_.stride;
    }
    nextRow_ += count;
    rows = rowPointers_.data();
    return count;
}

} // namespace vkexf
