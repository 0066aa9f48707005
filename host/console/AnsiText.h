// The ANSI code page, which the job record's path and the converter's
// messages are written in, beside the host's own UTF-8 text.
#pragma once

#include <string>

namespace vlscan {

// False when some character of `wide` has no form in the ANSI code page;
// a best-fit look-alike would name another file.
[[nodiscard]] bool AnsiFromWide(const std::wstring& wide, std::string& ansi);

std::string Utf8FromAnsi(const std::string& ansi);

} // namespace vlscan
