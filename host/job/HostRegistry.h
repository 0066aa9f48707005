// The host's side of the plug-in's settings: storing the compression rate
// exactly where the plug-in's compression dialog stores it.
#pragma once

#include <cstdint>

namespace vlscan {

// "Compress Rate" (REG_DWORD) under HKEY_CURRENT_USER, HostKeyPath + "\EXIF".
[[nodiscard]] bool StoreCompressRate(uint32_t rate);

} // namespace vlscan
