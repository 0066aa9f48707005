// The host's side of the plug-in's settings: the compression rate and the
// colour mode, stored exactly where the plug-in's compression dialog stores
// them.
#pragma once

#include <cstdint>
#include <optional>

namespace vlscan {

// "Compress Rate" (REG_DWORD) under HKEY_CURRENT_USER, HostKeyPath + "\EXIF".
[[nodiscard]] bool StoreCompressRate(uint32_t rate);

// "Colour Mode" (REG_DWORD) beside it: a VkExfColourMode.
[[nodiscard]] bool StoreColourMode(uint32_t mode);

// The rate stored there; none when none was stored, or not a rate of 0 to 100.
std::optional<uint32_t> StoredCompressRate();

} // namespace vlscan
