// Writes 8-bit grey or RGB PNG files. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vlscan {

[[nodiscard]] bool WritePng(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
                            const std::vector<uint8_t>& samples);

} // namespace vlscan
