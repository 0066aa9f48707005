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
    // Stored by the placement, in workspace coordinates: placed in screen
    // ones, the dialog would drift by the taskbar's size at every opening.
    MONITORINFO primary = {};
    primary.cbSize = sizeof primary;
    if (GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary)) {
        x = ScreenFromWorkspace(x, primary.rcWork.left, primary.rcMonitor.left);
        y = ScreenFromWorkspace(y, primary.rcWork.top, primary.rcMonitor.top);
    }
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
