#include "host/console/WidePath.h"

#include <windows.h>

namespace vlscan {

namespace {

// A path from a call that answers the size it needs when the buffer is short.
template <class Call>
std::wstring PathFrom(Call call)
{
    const DWORD size = call(nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring path(size, L'\0');
    const DWORD length = call(path.data(), size);
    if (length == 0 || length >= size) {
        return {};
    }
    path.resize(length);
    return path;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

} // namespace

std::wstring WideText(unsigned codePage, const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

std::wstring WidePath(const std::string& utf8)
{
    return WideText(CP_UTF8, utf8);
}

std::string Utf8Text(const std::wstring& wide)
{
    if (wide.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

std::wstring FullPath(const std::wstring& path)
{
    return PathFrom(
        [&path](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
}

std::wstring ShortPath(const std::wstring& path)
{
    return PathFrom([&path](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
}

std::wstring ExtendedForm(const std::wstring& full)
{
    if (full.size() < MAX_PATH || StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
        return full;
    }
    if (StartsWith(full, L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::wstring WithoutExtendedPrefix(const std::wstring& path)
{
    if (StartsWith(path, L"\\\\?\\UNC\\")) {
        return L"\\\\" + path.substr(8);
    }
    return StartsWith(path, L"\\\\?\\") ? path.substr(4) : path;
}

std::wstring OpenablePath(const std::string& utf8)
{
    const std::wstring path = WidePath(utf8);
    const std::wstring full = path.empty() ? path : FullPath(path);
    return full.size() < MAX_PATH ? path : ExtendedForm(full);
}

} // namespace vlscan
