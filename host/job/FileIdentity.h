// Whether two paths name one file, however each is spelt: relative or
// absolute, short or long, or two hard links.
#pragma once

#include <string>

namespace vlscan {

// True when both UTF-8 paths open as existing files with the same volume
// serial number and file index.
bool SameFile(const std::string& first, const std::string& second);

} // namespace vlscan
