#include "dialogs/CompressionDialog.h"

#include "interface/ResourceIds.h"
#include "win32/ResourceText.h"

#include <commctrl.h>

#include <algorithm>

namespace vlexif {

namespace {

constexpr int32_t MinRate = 0;
constexpr int32_t MaxRate = 100;
constexpr char RateValue[] = "Compress Rate";
constexpr char ColourModeValue[] = "Colour Mode";

} // namespace

CompressionDialog::CompressionDialog(HWND owner, const SettingsStore& store) : PluginDialog(owner, store) {}

int CompressionDialog::Run()
{
    static_cast<void>(store.ReadCompressRate(rate)); // none of the user's: the rate stays
    colourMode = store.ReadColourMode();
    const INT_PTR result = ShowResourceDialog("DETAILS", owner, CompressionDialogProc, reinterpret_cast<LPARAM>(this));
    // Only a plain OK click ends the dialog with exactly 1.
    if (result == 1) {
        // The dialog has closed: a rate that was not kept has no one to tell.
        static_cast<void>(store.WriteDword(RateValue, static_cast<uint32_t>(rate)));
        static_cast<void>(store.WriteDword(ColourModeValue, colourMode));
    }
    return 0;
}

void CompressionDialog::InitControls()
{
    SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_SETRANGE, TRUE, MAKELONG(MinRate, MaxRate));
    SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_SETPAGESIZE, 0, MaxRate);
    SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_SETTIC, 0, MinRate);
    SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_SETPOS, TRUE, rate);
    SetDlgItemInt(window, IDC_RATE_EDIT, static_cast<UINT>(rate), FALSE);
    CheckRadioButton(window, IDC_COLOUR_AUTO, IDC_COLOUR_ALWAYS, static_cast<int>(IDC_COLOUR_AUTO + colourMode));
    keys.SubclassTrackbar(window, IDC_RATE_TRACKBAR);
    keys.SubclassEditBox(window, IDC_RATE_EDIT);
    int32_t x = 0;
    int32_t y = 0;
    if (!store.ReadWindowPosition(x, y) || !MoveWhereSeen(x, y)) {
        CentreOnScreen();
    }
}

INT_PTR CALLBACK CompressionDialog::CompressionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongA(dialog, DWL_USER, static_cast<LONG>(lParam));
        CompressionDialog* compression = reinterpret_cast<CompressionDialog*>(lParam);
        compression->window = dialog;
        compression->InitControls();
        return FALSE;
    }
    // Messages such as WM_SETFONT come before WM_INITDIALOG, with no object yet.
    CompressionDialog* compression =
        reinterpret_cast<CompressionDialog*>(static_cast<LONG_PTR>(GetWindowLongA(dialog, DWL_USER)));
    if (!compression) {
        return FALSE;
    }
    switch (message) {
    case WM_COMMAND:
        return compression->OnCommand(wParam);
    case WM_HSCROLL:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_RATE_TRACKBAR) {
            compression->FollowTrackbar();
        }
        return FALSE;
    case WM_CLOSE:
        compression->Close(wParam);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CompressionDialog::OnCommand(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        rate = LOWORD(SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_GETPOS, 0, 0));
        colourMode = CheckedColourMode();
        Close(wParam);
        return TRUE;
    case IDCANCEL:
        Close(wParam);
        return TRUE;
    case IDC_RATE_EDIT:
        if (HIWORD(wParam) == EN_CHANGE) {
            FollowEditBox();
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// Text beyond 0..100 is replaced; unsigned values from 2^31 up read as
// negative and so become 0, and text that is no number at all reads as 0.
void CompressionDialog::FollowEditBox()
{
    int32_t value = static_cast<int32_t>(GetDlgItemInt(window, IDC_RATE_EDIT, nullptr, FALSE));
    if (value < MinRate) {
        value = MinRate;
        SetDlgItemInt(window, IDC_RATE_EDIT, MinRate, FALSE);
    } else if (value > MaxRate) {
        value = MaxRate;
        SetDlgItemInt(window, IDC_RATE_EDIT, MaxRate, FALSE);
    }
    SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_SETPOS, TRUE, value);
}

uint32_t CompressionDialog::CheckedColourMode() const
{
    for (uint32_t mode = VkExfColourAuto; mode <= VkExfColourAlways; ++mode) {
        if (IsDlgButtonChecked(window, static_cast<int>(IDC_COLOUR_AUTO + mode)) == BST_CHECKED) {
            return mode;
        }
    }
    return VkExfColourAuto;
}

void CompressionDialog::FollowTrackbar()
{
    const LRESULT position = SendDlgItemMessageA(window, IDC_RATE_TRACKBAR, TBM_GETPOS, 0, 0);
    const int32_t value = std::clamp(static_cast<int32_t>(position), MinRate, MaxRate);
    SetDlgItemInt(window, IDC_RATE_EDIT, static_cast<UINT>(value), FALSE);
}

void CompressionDialog::Close(WPARAM wParam)
{
    static_cast<void>(store.SaveWindowPosition(window)); // only where the next dialog opens
    EndDialog(window, static_cast<INT_PTR>(wParam));
}

} // namespace vlexif
