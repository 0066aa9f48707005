#include "converter/SpoolSurvey.h"

#include "converter/FileHandle.h"
#include "converter/GreyRows.h"
#include "converter/LastFailure.h"

#include <algorithm>

namespace vkexf {

namespace {

// About a megabyte of whole rows per read.
constexpr uint32_t kReadBytes = 1 << 20;

Status NoMemory(const char* path) { return FailWithError(StatusNoMemory, kCannotRead, path, ERROR_NOT_ENOUGH_MEMORY); }

} // namespace

Status SpoolSurvey::Run(const char* path, const BmpLayout& layout)
{
    grey_ = false;
    thumbnailSize_ = {};
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER position;
    position.QuadPart = layout.pixelOffset;
    if (!file.valid() || !SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN))
        return FailWithError(StatusReadFailed, kCannotRead, path, GetLastError());

    const uint32_t chunkRows = std::clamp<uint32_t>(kReadBytes / layout.stride, 1, layout.height);
    HeapBuffer chunk, work;
    if (!chunk.Allocate(size_t{chunkRows} * layout.stride) ||
        !work.Allocate(ThumbnailScaler::WorkBytes(layout.width, layout.height)))
        return NoMemory(path);
    ThumbnailScaler scaler(layout.width, layout.height, work.data());

    bool grey = true;
    for (uint32_t stored = 0; stored < layout.height;) {
        const uint32_t rows = std::min(chunkRows, layout.height - stored);
        const DWORD bytes = rows * layout.stride;
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), bytes, &read, nullptr))
            return FailWithError(StatusReadFailed, kCannotRead, path, GetLastError());
        if (read != bytes)
            return Fail(StatusReadFailed, kCannotRead, path, "the file became shorter while it was read");
        for (uint32_t i = 0; i < rows; ++i, ++stored) {
            const uint8_t* row = chunk.data() + size_t{i} * layout.stride;
            // One pixel out of grey settles it for the page.
            grey = grey && BgrRowIsGrey(row, layout.width);
            scaler.AddRow(layout.topDown ? stored : layout.height - 1 - stored, row);
        }
    }

    const ThumbnailSize size = scaler.size();
    if (!thumbnail_.Allocate(size_t{size.width} * size.height * 3))
        return NoMemory(path);
    scaler.Finish(thumbnail_.data());
    grey_ = grey;
    thumbnailSize_ = size;
    return StatusOk;
}

} // namespace vkexf
