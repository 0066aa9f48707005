// What every dialog of the plug-in shares: the host's window that owns it,
// the dialog window once it exists, and the settings it reads and writes.
#pragma once

#include "settings/SettingsStore.h"

#include <windows.h>

namespace vlexif {

class PluginDialog {
public:
    PluginDialog(HWND owner, const SettingsStore& store);
    PluginDialog(const PluginDialog&) = delete;
    PluginDialog& operator=(const PluginDialog&) = delete;
    virtual ~PluginDialog();

    // Shows the dialog modally; the base has nothing to show.
    virtual int Run();

protected:
    void CentreOnScreen();
    // Moves the dialog to x, y and to the top, where it would lie mostly on
    // the work area of the monitor nearest to it there; false leaves it, for
    // a position a monitor since removed or undocked would show no one.
    [[nodiscard]] bool MoveWhereSeen(int32_t x, int32_t y);

    HWND owner;
    HWND window = nullptr;
    const SettingsStore& store;
};

} // namespace vlexif
