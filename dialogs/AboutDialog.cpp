#include "dialogs/AboutDialog.h"

#include "win32/ResourceText.h"

namespace vlexif {

AboutDialog::AboutDialog(HWND owner, const SettingsStore& store, const char* name) : PluginDialog(owner, store)
{
    lstrcpynA(templateName, name, sizeof templateName);
}

int AboutDialog::Run()
{
    ShowResourceDialog(templateName, owner, AboutDialogProc, reinterpret_cast<LPARAM>(this));
    return 0;
}

INT_PTR CALLBACK AboutDialog::AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        AboutDialog* about = reinterpret_cast<AboutDialog*>(lParam);
        about->window = dialog;
        about->CentreOnScreen();
        // No default focus: the box has nothing to type into.
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
            return FALSE;
        }
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace vlexif
