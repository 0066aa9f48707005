// Opens one of the plug-in's dialogs for scripts/screenshots.sh: prints the
// dialog's screen rectangle once it has been drawn, then closes the dialog
// when a line (or the end) arrives on standard input.
#include "dialogs/AboutDialog.h"
#include "dialogs/CompressionDialog.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "win32/Module.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

DWORD WINAPI CancelOnInput(LPVOID dialog)
{
    char line[16];
    DWORD read = 0;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &read, nullptr);
    PostMessageA(static_cast<HWND>(dialog), WM_COMMAND, IDCANCEL, 0);
    return 0;
}

void Present(HWND dialog)
{
    // Wine hands a drawn window to the X server while its thread waits for
    // messages, so wait a little before telling the capture to go ahead.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 250) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpMessages();
    }
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    std::fflush(stdout);
    CloseHandle(CreateThread(nullptr, 0, CancelOnInput, dialog, 0, nullptr));
    while (IsWindowVisible(dialog)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        PumpMessages();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "about") != 0 && std::strcmp(argv[1], "compression") != 0)) {
        std::fprintf(stderr, "usage: dialog_shots about|compression\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    vlexif::SetModuleHandles(
        GetModuleHandleA(nullptr),
        LoadLibraryExA((vlexif::test::Stage("stage") + "Vlexifres.dll").c_str(), nullptr, vlexif::ResourceLibraryLoad));

    // A key of its own, so the compression dialog opens centred at its default rate.
    vlexif::test::TestRegistryKey key;
    vlexif::RegistryLocation location = {};
    lstrcpynA(location.keyPath, key.Path().c_str(), sizeof location.keyPath);
    location.root = HKEY_CURRENT_USER;
    vlexif::SettingsStore store;
    store.Bind(location, "EXIF");

    vlexif::test::DialogDriver driver({Present});
    if (std::strcmp(argv[1], "about") == 0) {
        vlexif::AboutDialog(nullptr, store, "ABOUT").Run();
    } else {
        vlexif::CompressionDialog(nullptr, store).Run();
    }
    return driver.Opened() == 1 ? 0 : 1;
}
