// The host keeps paths as UTF-8 text, whatever the ANSI code page, and turns
// them into UTF-16 only where it calls the wide file API.
#pragma once

#include <string>

namespace vlscan {

// `text` read in the code page given (CP_UTF8, CP_ACP, ...); empty when
// UTF-8 text is not valid UTF-8.
std::wstring WideText(unsigned codePage, const std::string& text);

// Empty when `utf8` is not valid UTF-8.
std::wstring WidePath(const std::string& utf8);

// Empty when `wide` holds an unpaired surrogate.
std::string Utf8Text(const std::wstring& wide);

} // namespace vlscan
