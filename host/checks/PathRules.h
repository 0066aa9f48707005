// The rules Windows sets for the names in a path, checked on the path as the
// user typed it. Windows would not refuse such a name but quietly change its
// meaning: it drops a name's trailing dots and spaces, and takes NUL, CON or
// COM1.jpg for a device, so a job would write elsewhere than asked, or
// nowhere. Platform-free.
#pragma once

#include <string>

namespace vlscan {

// The longest name one folder entry may have, in UTF-16 units.
constexpr size_t MaxNameLength = 255;

// Why Windows would not store a file under the UTF-8 `path`, in words for the
// user ("a name in it holds '?', ..."); empty when every name in it is one
// Windows keeps as written.
std::string PathRuleBreach(const std::string& path);

} // namespace vlscan
