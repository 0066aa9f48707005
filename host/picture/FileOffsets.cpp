#include "host/picture/FileOffsets.h"

#include <sys/types.h>

namespace vlscan {

namespace {

int64_t Tell(std::FILE* file)
{
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

[[nodiscard]] bool Seek(std::FILE* file, int64_t offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(file, offset, origin) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), origin) == 0;
#endif
}

} // namespace

bool SeekTo(std::FILE* file, uint64_t offset)
{
    return offset <= static_cast<uint64_t>(INT64_MAX) && Seek(file, static_cast<int64_t>(offset), SEEK_SET);
}

std::optional<uint64_t> Position(std::FILE* file)
{
    const int64_t here = Tell(file);
    return here < 0 ? std::nullopt : std::optional<uint64_t>(static_cast<uint64_t>(here));
}

std::optional<uint64_t> FileLength(std::FILE* file)
{
    const int64_t here = Tell(file);
    if (here < 0 || !Seek(file, 0, SEEK_END)) {
        return std::nullopt;
    }
    const int64_t end = Tell(file);
    if (!Seek(file, here, SEEK_SET) || end < 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(end);
}

} // namespace vlscan
