#include "tests/dialogs/DialogDriver.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vlexif::test {

namespace {

thread_local DialogDriver* current = nullptr;

bool IsDialog(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}

} // namespace

DialogDriver::DialogDriver(std::vector<Scenario> scenarios) : scenarios(std::move(scenarios))
{
    current = this;
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, ShownHook, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver()
{
    UnhookWindowsHookEx(hook);
    current = nullptr;
}

LRESULT CALLBACK DialogDriver::ShownHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && current) {
        const CWPRETSTRUCT& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        const bool shown = call.message == WM_WINDOWPOSCHANGED &&
            (reinterpret_cast<const WINDOWPOS*>(call.lParam)->flags & SWP_SHOWWINDOW);
        // A dialog may be shown again while it is open; it is driven once.
        if (shown && call.hwnd != current->dialog && IsDialog(call.hwnd)) {
            current->dialog = call.hwnd;
            ++current->opened;
            SetTimer(nullptr, 0, 0, Drive);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogDriver::Drive(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    const HWND dialog = current->dialog;
    const size_t index = static_cast<size_t>(current->opened - 1);
    if (index < current->scenarios.size()) {
        current->scenarios[index](dialog);
    } else {
        ADD_FAILURE() << "an unexpected dialog opened";
    }
    // A scenario cut short by a failed assertion must not leave the test hanging.
    if (IsWindowVisible(dialog)) {
        ADD_FAILURE() << "the dialog is still open after its scenario";
        EndDialog(dialog, 0);
    }
}

} // namespace vlexif::test
