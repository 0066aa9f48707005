// The About box and the compression dialog as a host shows them: through
// VLScanEntry of the staged VLEXIF.dll, on the real common controls, driven
// from inside each dialog's own modal loop.
#include "interface/ResourceIds.h"
#include "scanjob/ExifPlugin.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "win32/Module.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace vlexif {
namespace {

using test::DialogDriver;
using test::HostRecords;
using test::OwnerWindow;
using test::PluginLibrary;
using test::Stage;
using test::TestRegistryKey;

int Rate(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_RATE_TRACKBAR, TBM_GETPOS, 0, 0));
}

std::string Box(HWND dialog)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, IDC_RATE_EDIT, text, sizeof text);
    return text;
}

// The colour mode whose radio button is checked; -1 for none or several.
int CheckedMode(HWND dialog)
{
    int checked = -1;
    for (int mode = 0; mode < 3; ++mode) {
        if (IsDlgButtonChecked(dialog, IDC_COLOUR_AUTO + mode) == BST_CHECKED) {
            checked = checked == -1 ? mode : -2;
        }
    }
    return checked < 0 ? -1 : checked;
}

void Type(HWND dialog, const char* text)
{
    SetDlgItemTextA(dialog, IDC_RATE_EDIT, text);
}

// A key as the keyboard gives it: to whichever control has the focus.
void Press(UINT key)
{
    SendMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    SendMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void CloseWindow(HWND dialog)
{
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

RECT Rect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void ExpectCentred(HWND dialog)
{
    const RECT rect = Rect(dialog);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2);
}

std::string Summary(const HostRecords& records)
{
    return std::string(records.params.summaryText);
}

class DialogTest : public testing::Test {
protected:
    DialogTest()
    {
        records.SetRegistry(key);
        records.params.owner = owner.Handle();
    }

    // Runs the command with the scenario driving the one dialog it must show.
    uint32_t Run(uint32_t command, DialogDriver::Scenario scenario)
    {
        DialogDriver driver({std::move(scenario)});
        const uint32_t status = plugin.Call(command, records.params);
        EXPECT_EQ(driver.Opened(), 1);
        return status;
    }

    uint32_t Configure(DialogDriver::Scenario scenario) { return Run(CmdConfigure, std::move(scenario)); }

    TestRegistryKey key;
    OwnerWindow owner;
    HostRecords records;
    PluginLibrary plugin{Stage("stage")};
};

using AboutTest = DialogTest;

TEST_F(AboutTest, OpensCentredOverTheHostIgnoresOtherCommandsAndClosesOnOk)
{
    const uint32_t status = Run(CmdAbout, [this](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.Handle());
        ExpectCentred(dialog);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(status, StatusOk);
}

TEST_F(AboutTest, ClosesOnCancelAndOnTheCloseButton)
{
    EXPECT_EQ(Run(CmdAbout, [](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }), StatusOk);
    EXPECT_EQ(Run(CmdAbout, CloseWindow), StatusOk);
}

TEST(AboutWithoutTemplate, ShowsNothingAndSucceeds)
{
    // The test program lies beside the converter but holds no dialog templates.
    const HMODULE self = GetModuleHandleA(nullptr);
    SetModuleHandles(self, self);
    HostRecords records;
    ExifPlugin plugin;
    plugin.BindHost(&records.params);
    DialogDriver driver({});
    EXPECT_EQ(plugin.About(), StatusOk);
    EXPECT_EQ(driver.Opened(), 0);
}

TEST(DialogsWithoutConverter, ShowNothingAndReportTheMissingConverter)
{
    TestRegistryKey key;
    HostRecords records;
    records.SetRegistry(key);
    PluginLibrary plugin(Stage("stage-noconv"));
    DialogDriver driver({});
    EXPECT_EQ(plugin.Call(CmdConfigure, records.params), StatusNoConverter);
    EXPECT_EQ(plugin.Call(CmdAbout, records.params), StatusNoConverter);
    EXPECT_EQ(driver.Opened(), 0);
    EXPECT_FALSE(key.ExifKeyExists());
}

using ConfigureTest = DialogTest;

TEST_F(ConfigureTest, FirstOpeningIsCentredAndEveryWayOfClosingStoresThePosition)
{
    const struct {
        const char* name;
        DialogDriver::Scenario close;
        bool storesRate;
    } closers[] = {
        {"OK", [](HWND dialog) { Click(dialog, IDOK); }, true},
        {"Cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }, false},
        {"close button", CloseWindow, false},
    };
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.name);
        TestRegistryKey fresh;
        records.SetRegistry(fresh);
        RECT shown = {};
        EXPECT_EQ(Configure([&](HWND dialog) {
                      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.Handle());
                      ExpectCentred(dialog);
                      EXPECT_EQ(Rate(dialog), 75);
                      EXPECT_EQ(Box(dialog), "75");
                      EXPECT_EQ(CheckedMode(dialog), 0);
                      shown = Rect(dialog);
                      closer.close(dialog);
                  }),
                  StatusOk);
        EXPECT_EQ(fresh.Dword("Position X"), static_cast<uint32_t>(shown.left));
        EXPECT_EQ(fresh.Dword("Position Y"), static_cast<uint32_t>(shown.top));
        EXPECT_EQ(fresh.HasValue("Compress Rate"), closer.storesRate);
        EXPECT_EQ(fresh.HasValue("Colour Mode"), closer.storesRate);
        EXPECT_EQ(Summary(records), "Compression rate: 75%; color: automatic");
    }
}

TEST_F(ConfigureTest, KeyWithoutPositionOpensAtTenTen)
{
    key.SetDword("Compress Rate", 40);
    Configure([](HWND dialog) {
        EXPECT_EQ(Rect(dialog).left, 10);
        EXPECT_EQ(Rect(dialog).top, 10);
        EXPECT_EQ(Rate(dialog), 40);
        Click(dialog, IDCANCEL);
    });
}

TEST_F(ConfigureTest, OpensWhereItWasLastClosed)
{
    key.SetDword("Position X", 200);
    key.SetDword("Position Y", 150);
    Configure([](HWND dialog) {
        EXPECT_EQ(Rect(dialog).left, 200);
        EXPECT_EQ(Rect(dialog).top, 150);
        SetWindowPos(dialog, nullptr, 300, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(key.Dword("Position X"), 300u);
    EXPECT_EQ(key.Dword("Position Y"), 120u);
}

TEST_F(ConfigureTest, TypedRateMovesTheTrackbarAndIsHeldToTheRange)
{
    Configure([](HWND dialog) {
        Type(dialog, "42");
        EXPECT_EQ(Rate(dialog), 42);
        Type(dialog, "250");
        EXPECT_EQ(Rate(dialog), 100);
        EXPECT_EQ(Box(dialog), "100");
        Type(dialog, "2147483648");
        EXPECT_EQ(Rate(dialog), 0);
        EXPECT_EQ(Box(dialog), "0");
        Type(dialog, "4294967295");
        EXPECT_EQ(Rate(dialog), 0);
        EXPECT_EQ(Box(dialog), "0");
        Type(dialog, "99999999999");
        EXPECT_EQ(Rate(dialog), 0);
        // Typed key by key, as a user does.
        const HWND box = GetDlgItem(dialog, IDC_RATE_EDIT);
        SendMessageA(box, EM_SETSEL, 0, -1);
        SendMessageA(box, WM_CHAR, '6', 1);
        SendMessageA(box, WM_CHAR, '3', 1);
        EXPECT_EQ(Rate(dialog), 63);
        Type(dialog, "");
        EXPECT_EQ(Rate(dialog), 0);
        EXPECT_EQ(Box(dialog), "");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(key.Dword("Compress Rate"), 0u);
}

TEST_F(ConfigureTest, UpAndDownInTheBoxStepTheTrackbarAndKeepTheFocus)
{
    Configure([](HWND dialog) {
        const HWND box = GetDlgItem(dialog, IDC_RATE_EDIT);
        SetFocus(box);
        Press(VK_UP);
        EXPECT_EQ(Rate(dialog), 76);
        EXPECT_EQ(Box(dialog), "76");
        EXPECT_EQ(GetFocus(), box);
        Press(VK_DOWN);
        Press(VK_DOWN);
        EXPECT_EQ(Rate(dialog), 74);
        EXPECT_EQ(Box(dialog), "74");
        EXPECT_EQ(GetFocus(), box);
        Type(dialog, "100");
        Press(VK_UP);
        EXPECT_EQ(Rate(dialog), 100);
        EXPECT_EQ(Box(dialog), "100");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(key.Dword("Compress Rate"), 100u);
}

TEST_F(ConfigureTest, UpAndDownOnTheTrackbarDoNothingOtherKeysMoveItAndTheBox)
{
    Configure([](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDC_RATE_TRACKBAR));
        Press(VK_UP);
        Press(VK_DOWN);
        Press(VK_DOWN);
        EXPECT_EQ(Rate(dialog), 75);
        EXPECT_EQ(Box(dialog), "75");
        Press(VK_RIGHT);
        EXPECT_EQ(Rate(dialog), 76);
        EXPECT_EQ(Box(dialog), "76");
        Press(VK_HOME);
        EXPECT_EQ(Rate(dialog), 0);
        EXPECT_EQ(Box(dialog), "0");
        Press(VK_NEXT);
        EXPECT_EQ(Box(dialog), "100");
        Click(dialog, IDCANCEL);
    });
}

TEST_F(ConfigureTest, OkStoresTheTrackbarsRateAndTheCheckedModeAndRewritesTheSummary)
{
    key.SetDword("Compress Rate", 20);
    key.SetDword("Colour Mode", 2);
    EXPECT_EQ(Configure([](HWND dialog) {
                  EXPECT_EQ(Rate(dialog), 20);
                  EXPECT_EQ(CheckedMode(dialog), 2);
                  Type(dialog, "63");
                  Click(dialog, IDC_COLOUR_EXACT);
                  EXPECT_EQ(CheckedMode(dialog), 1);
                  Click(dialog, IDOK);
              }),
              StatusOk);
    EXPECT_EQ(key.Dword("Compress Rate"), 63u);
    EXPECT_EQ(key.Dword("Colour Mode"), 1u);
    EXPECT_EQ(Summary(records), "Compression rate: 63%; color: gray only when exactly gray");
}

TEST_F(ConfigureTest, CancelAndCloseKeepTheStoredRateAndMode)
{
    key.SetDword("Compress Rate", 20);
    key.SetDword("Colour Mode", 2);
    for (const DialogDriver::Scenario& close :
         {DialogDriver::Scenario([](HWND dialog) { Click(dialog, IDCANCEL); }), DialogDriver::Scenario(CloseWindow)}) {
        EXPECT_EQ(Configure([&](HWND dialog) {
                      Type(dialog, "63");
                      Click(dialog, IDC_COLOUR_AUTO);
                      close(dialog);
                  }),
                  StatusOk);
        EXPECT_EQ(key.Dword("Compress Rate"), 20u);
        EXPECT_EQ(key.Dword("Colour Mode"), 2u);
        EXPECT_EQ(Summary(records), "Compression rate: 20%; color: always");
    }
}

// A rate or colour mode the dialog could not have stored is none: the
// dialog offers the default, and cancelling leaves the value.
TEST_F(ConfigureTest, StoredValuesBeyondTheRangeShowTheDefaultAndSurviveCancel)
{
    key.SetDword("Compress Rate", 150);
    key.SetDword("Colour Mode", 3);
    Configure([](HWND dialog) {
        EXPECT_EQ(Rate(dialog), 75);
        EXPECT_EQ(Box(dialog), "75");
        EXPECT_EQ(CheckedMode(dialog), 0);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(key.Dword("Compress Rate"), 150u);
    EXPECT_EQ(key.Dword("Colour Mode"), 3u);
    EXPECT_EQ(Summary(records), "Compression rate: 75%; color: automatic");
}

// A stored place that would show the dialog mostly off the screen's work
// area (a monitor since removed, a laptop undocked) is not used: the dialog
// opens centred, and closing stores where it really was.
TEST_F(ConfigureTest, APositionMostlyOffTheWorkAreaOpensCentred)
{
    RECT size = {};
    RECT work = {};
    Configure([&](HWND dialog) {
        size = Rect(dialog);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
        work = monitor.rcWork;
        Click(dialog, IDCANCEL);
    });
    const LONG width = size.right - size.left;
    const struct {
        const char* what;
        LONG x, y;
        bool used;
    } rows[] = {
        {"far right and below", 5000, 5000, false},
        {"far left and above", -3000, -3000, false},
        {"three quarters past the right edge", work.right - width / 4, work.top, false},
        {"a quarter past the left edge", work.left - width / 4, work.top + 20, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        key.SetDword("Position X", static_cast<uint32_t>(row.x));
        key.SetDword("Position Y", static_cast<uint32_t>(row.y));
        RECT shown = {};
        Configure([&](HWND dialog) {
            shown = Rect(dialog);
            if (row.used) {
                EXPECT_EQ(shown.left, row.x);
                EXPECT_EQ(shown.top, row.y);
            } else {
                ExpectCentred(dialog);
            }
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(key.Dword("Position X"), static_cast<uint32_t>(shown.left));
        EXPECT_EQ(key.Dword("Position Y"), static_cast<uint32_t>(shown.top));
    }
}

// Only the plain OK command ends the dialog with exactly 1.
TEST_F(ConfigureTest, OkWithANotificationCodeClosesWithoutStoringTheRate)
{
    key.SetDword("Compress Rate", 20);
    Configure([](HWND dialog) {
        Type(dialog, "63");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 1), 0);
    });
    EXPECT_EQ(key.Dword("Compress Rate"), 20u);
    EXPECT_TRUE(key.HasValue("Position X"));
}

} // namespace
} // namespace vlexif

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The host registers the common controls; the plug-in relies on that.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return RUN_ALL_TESTS();
}
