// Whether two paths name one file, however each is spelt: relative or
// absolute, short or long, or two hard links.
#pragma once

#include <string>

namespace vlscan {

// True when both UTF-8 paths open as existing files with the same volume
// serial number and file index.
bool SameFile(const std::string& first, const std::string& second);

// True when the two UTF-8 paths would name one file once written: the same
// file, or the same name (in any case) in the same folder, so that a file
// that does not exist yet counts too.
bool SameDestination(const std::string& first, const std::string& second);

} // namespace vlscan
