// The console's side of the host's UTF-8 text: the program's arguments read
// through the wide API, so no character is lost to the ANSI code page, and
// messages written back so that every character shows.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace vlscan {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> ProgramArguments();

// To a console as UTF-16 (its code page may lack characters of a path);
// to a file or pipe as the UTF-8 bytes. `stream` is stdout or stderr.
void WriteText(std::FILE* stream, const std::string& utf8);

} // namespace vlscan
