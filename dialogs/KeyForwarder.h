// Arrow-key handling shared by the rate's two controls. On the trackbar, Up
// and Down are ignored so only Left and Right move it; in the edit box, Up
// and Down step the trackbar (as Right and Left) while the box keeps focus.
#pragma once

#include <windows.h>

namespace vlexif {

class KeyForwarder {
public:
    KeyForwarder() = default;
    KeyForwarder(const KeyForwarder&) = delete;
    KeyForwarder& operator=(const KeyForwarder&) = delete;
    virtual ~KeyForwarder() = default;

    void SubclassTrackbar(HWND dialog, int id);
    // After SubclassTrackbar: the edit box forwards to that trackbar.
    void SubclassEditBox(HWND dialog, int id);

private:
    static LRESULT CALLBACK TrackbarKeyProc(HWND trackbar, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditBoxKeyProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    HWND trackbar = nullptr;
};

} // namespace vlexif
