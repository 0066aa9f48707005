// Writes binary PGM and PPM files, 8 or 16 bits per sample. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vlscan {

// `channels` is 1 (PGM) or 3 (PPM); samples interleaved, top line first.
// False when the file cannot be written.
bool WritePnm(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
              const std::vector<uint8_t>& samples);
// 16-bit samples, written most significant byte first as PNM requires.
bool WritePnm16(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
                const std::vector<uint16_t>& samples);

} // namespace vlscan
