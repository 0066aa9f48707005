// The About box: the plug-in's name, version and purpose, centred on the
// screen, closed by OK, Cancel (Esc) or the window's close button.
#pragma once

#include "dialogs/PluginDialog.h"

namespace vlexif {

class AboutDialog : public PluginDialog {
public:
    AboutDialog(HWND owner, const SettingsStore& store, const char* templateName);

    // Whatever closed the box, or when the template is missing: 0.
    int Run() override;

private:
    static INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    char templateName[MAX_PATH];
};

} // namespace vlexif
