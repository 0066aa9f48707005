#include "dialogs/PluginDialog.h"

#include "dialogs/Centring.h"

namespace vlexif {

PluginDialog::PluginDialog(HWND owner, const SettingsStore& store) : owner(owner), store(store) {}

PluginDialog::~PluginDialog() = default;

int PluginDialog::Run()
{
    return 0;
}

void PluginDialog::CentreOnScreen()
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int32_t x = CentredCoordinate(GetSystemMetrics(SM_CXSCREEN), rect.left, rect.right);
    const int32_t y = CentredCoordinate(GetSystemMetrics(SM_CYSCREEN), rect.top, rect.bottom);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

} // namespace vlexif
