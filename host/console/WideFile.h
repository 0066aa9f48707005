// Opens the user's files by their UTF-8 names through the wide file API, so
// names outside the ANSI code page open too, and paths of any length.
// Windows only.
#pragma once

#include "host/picture/FilePtr.h"

#include <string>

namespace vlscan {

// `mode` as for _wfopen. Null with errno set when the file cannot be opened.
[[nodiscard]] FilePtr OpenWide(const std::string& utf8Path, const wchar_t* mode);

} // namespace vlscan
