#include "dialogs/KeyForwarder.h"

namespace vlexif {

namespace {

LONG AsLong(WNDPROC procedure)
{
    return static_cast<LONG>(reinterpret_cast<LONG_PTR>(procedure));
}

// The controls are subclassed once and never restored, so the procedure that
// was replaced is always their class's own; it is looked up on each message
// rather than kept.
LRESULT PassToClass(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC classProcedure =
        reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(GetClassLongA(control, GCL_WNDPROC)));
    return CallWindowProcA(classProcedure, control, message, wParam, lParam);
}

bool IsVerticalArrow(UINT message, WPARAM wParam)
{
    return message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN);
}

} // namespace

void KeyForwarder::SubclassTrackbar(HWND dialog, int id)
{
    trackbar = GetDlgItem(dialog, id);
    SetWindowLongA(trackbar, GWL_WNDPROC, AsLong(TrackbarKeyProc));
}

void KeyForwarder::SubclassEditBox(HWND dialog, int id)
{
    const HWND edit = GetDlgItem(dialog, id);
    SetWindowLongA(edit, GWL_USERDATA, static_cast<LONG>(reinterpret_cast<LONG_PTR>(trackbar)));
    SetWindowLongA(edit, GWL_WNDPROC, AsLong(EditBoxKeyProc));
}

LRESULT CALLBACK KeyForwarder::TrackbarKeyProc(HWND trackbar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsVerticalArrow(message, wParam)) {
        return 0;
    }
    return PassToClass(trackbar, message, wParam, lParam);
}

LRESULT CALLBACK KeyForwarder::EditBoxKeyProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsVerticalArrow(message, wParam)) {
        const HWND target = reinterpret_cast<HWND>(static_cast<LONG_PTR>(GetWindowLongA(edit, GWL_USERDATA)));
        if (target) {
            SendMessageA(target, WM_KEYDOWN, wParam == VK_UP ? VK_RIGHT : VK_LEFT, lParam);
            SetFocus(edit);
        }
    }
    // The edit box still sees the key itself: it only moves its caret.
    return PassToClass(edit, message, wParam, lParam);
}

} // namespace vlexif
