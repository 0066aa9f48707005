#include "host/AnsiText.h"

#include "host/WidePath.h"

#include <windows.h>

namespace vlscan {

bool AnsiFromWide(const std::wstring& wide, std::string& ansi)
{
    ansi.clear();
    if (wide.empty()) {
        return true;
    }
    const int size = static_cast<int>(wide.size());
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr,
                                           &defaulted);
    if (length <= 0 || defaulted) {
        return false;
    }
    ansi.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length, nullptr, &defaulted);
    if (defaulted) {
        ansi.clear();
    }
    return !defaulted;
}

std::string Utf8FromAnsi(const std::string& ansi)
{
    if (ansi.empty()) {
        return {};
    }
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
    return Utf8Text(wide);
}

} // namespace vlscan
