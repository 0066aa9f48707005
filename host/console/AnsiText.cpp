#include "host/console/AnsiText.h"

#include "host/console/WidePath.h"

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
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &defaulted);
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
    return Utf8Text(WideText(CP_ACP, ansi));
}

} // namespace vlscan
