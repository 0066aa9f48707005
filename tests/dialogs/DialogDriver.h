// Drives the dialogs this thread opens from inside their own modal loop: once
// a dialog has been shown, a zero-delay thread timer queues the next scenario,
// which the dialog's loop then dispatches. (Activation is no signal: Wine may
// activate a modal dialog before it is shown.)
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace vlexif::test {

class DialogDriver {
public:
    using Scenario = std::function<void(HWND dialog)>;

    // One scenario for each dialog expected, in order.
    explicit DialogDriver(std::vector<Scenario> scenarios);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    int Opened() const { return opened; }

private:
    static LRESULT CALLBACK ShownHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Drive(HWND, UINT, UINT_PTR timer, DWORD);

    std::vector<Scenario> scenarios;
    HHOOK hook = nullptr;
    HWND dialog = nullptr;
    int opened = 0;
};

} // namespace vlexif::test
