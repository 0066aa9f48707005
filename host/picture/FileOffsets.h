// Positions in files beyond 2 GiB, which the 32-bit host's long cannot hold.
// Platform-free.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace vlscan {

[[nodiscard]] bool SeekTo(std::FILE* file, uint64_t offset);

// Empty when unknown.
[[nodiscard]] std::optional<uint64_t> Position(std::FILE* file);

// The file's length; the position is left where it was. Empty when unknown.
[[nodiscard]] std::optional<uint64_t> FileLength(std::FILE* file);

} // namespace vlscan
