// The host's side of the plug-in's settings: the compression rate, stored
// exactly where the plug-in's compression dialog stores it.
#pragma once

#include <cstdint>
#include <optional>

namespace vlscan {

// "Compress Rate" (REG_DWORD) under HKEY_CURRENT_USER, HostKeyPath + "\EXIF".
[[nodiscard]] bool StoreCompressRate(uint32_t rate);

// The rate stored there; none when none was stored, or not a rate of 0 to 100.
std::optional<uint32_t> StoredCompressRate();

} // namespace vlscan
