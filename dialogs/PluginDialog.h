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

    HWND owner;
    HWND window = nullptr;
    const SettingsStore& store;
};

} // namespace vlexif
