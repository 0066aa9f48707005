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

// What GetFullPathNameW and GetShortPathNameW make of `path`, at any length;
// empty when the call fails.
std::wstring FullPath(const std::wstring& path);
std::wstring ShortPath(const std::wstring& path);

// A full path as the wide file API takes it at any length: in the
// extended-length form ("\\?\", "\\?\UNC\") from MAX_PATH on, as it is below.
std::wstring ExtendedForm(const std::wstring& full);
// The same path without an extended-length prefix, as messages and the
// ANSI calls take it.
std::wstring WithoutExtendedPrefix(const std::wstring& path);

// A UTF-8 path as the user gave it, ready for the wide file API: unchanged,
// unless its full path is too long for the plain form.
std::wstring OpenablePath(const std::string& utf8);

} // namespace vlscan
