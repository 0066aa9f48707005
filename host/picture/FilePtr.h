// An open C stream that closes itself. Platform-free.
#pragma once

#include <cstdio>
#include <memory>

namespace vlscan {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FilePtr = std::unique_ptr<std::FILE, FileClose>;

// Closes a file that was written: false when the last buffered bytes could not be.
[[nodiscard]] inline bool CloseWritten(FilePtr file)
{
    return std::fclose(file.release()) == 0;
}

} // namespace vlscan
