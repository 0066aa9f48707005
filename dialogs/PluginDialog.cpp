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

bool PluginDialog::MoveWhereSeen(int32_t x, int32_t y)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    const ScreenRect there = MovedTo(ScreenRect{rect.left, rect.top, rect.right, rect.bottom}, x, y);
    const RECT candidate = {there.left, there.top, there.right, there.bottom};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&candidate, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return false;
    }
    const RECT& work = monitor.rcWork;
    if (!LiesMostlyInside(there, ScreenRect{work.left, work.top, work.right, work.bottom})) {
        return false;
    }
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    return true;
}

} // namespace vlexif
