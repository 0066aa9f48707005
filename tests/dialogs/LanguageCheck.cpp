// The plug-in in the language of this process's locale, as a host meets it:
// a failing format's message box, the describe texts, the About box and the
// compression dialog, each compared with the resource library's texts in the
// expected language (the first argument, a language id in hex). In both
// dialogs every static text, button caption and radio button's text is
// measured against its control in the dialog's font at the display's
// resolution, and no control may overlap another. Prints the resolution, what `vlscan describe` must
// show, and each dialog's screen rectangle; with --pause it keeps each
// dialog open until a line arrives on its input, for a screenshot.
#include "interface/ResourceIds.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using vlexif::test::DialogDriver;

int failures = 0;

void Fail(const std::string& what)
{
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    ++failures;
}

std::string Utf8(const std::wstring& text)
{
    return vlexif::test::InCodePage(CP_UTF8, text);
}

std::string Ansi(const std::wstring& text)
{
    return vlexif::test::InCodePage(CP_ACP, text);
}

// The resource library read as data, in the expected language.
class ExpectedTexts {
public:
    ExpectedTexts(const std::string& library, LANGID language)
        : module(LoadLibraryExA(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)), language(language)
    {
    }

    std::wstring Text(UINT id) const { return vlexif::test::StoredText(module, id, language); }

    // The title of a DIALOGEX template: after its fixed header, the menu and
    // class (each none, an ordinal or a string).
    std::wstring Caption(const char* name) const
    {
        const auto* at = static_cast<const WORD*>(Find(RT_DIALOG, name));
        if (!at) {
            return {};
        }
        at += 13;
        for (int field = 0; field < 2; ++field) {
            if (*at == 0xFFFF) {
                at += 2;
            } else {
                while (*at++) {
                }
            }
        }
        return reinterpret_cast<const wchar_t*>(at);
    }

private:
    const void* Find(LPCSTR type, LPCSTR name) const
    {
        const HRSRC found = FindResourceExA(module, type, name, language);
        return found ? LockResource(LoadResource(module, found)) : nullptr;
    }

    HMODULE module;
    LANGID language;
};

std::wstring WindowTextOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Whether `text` fits the control's client area less `margin` pixels on
// each side and `indent` more on the left, drawn in the control's font.
bool Fits(HWND control, const std::wstring& text, UINT format, LONG margin, LONG indent = 0)
{
    RECT client = {};
    GetClientRect(control, &client);
    InflateRect(&client, -margin, -margin);
    client.left += indent;
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, client.right - client.left, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.right <= client.right - client.left && needed.bottom <= client.bottom - client.top;
}

void CheckFit(HWND dialog, const char* which, int dpi)
{
    RECT inside = {};
    GetClientRect(dialog, &inside);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::wstring text = WindowTextOf(control);
        const std::string name = std::string(which) + " \"" + Utf8(text) + "\"";
        RECT rect = {};
        RECT overlap = {};
        GetWindowRect(control, &rect);
        if (!IntersectRect(&overlap, &rect, &inside) || !EqualRect(&overlap, &rect)) {
            Fail(name + " reaches outside the dialog");
        }
        for (HWND other = GetWindow(control, GW_HWNDNEXT); other; other = GetWindow(other, GW_HWNDNEXT)) {
            RECT otherRect = {};
            GetWindowRect(other, &otherRect);
            if (IntersectRect(&overlap, &rect, &otherRect)) {
                Fail(name + " overlaps \"" + Utf8(WindowTextOf(other)) + "\"");
            }
        }
        char className[16] = {};
        GetClassNameA(control, className, sizeof className);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (text.empty()) {
            continue;
        }
        // A push button's text keeps clear of its edges and focus rectangle;
        // a radio button's follows its circle, which takes up to 16 pixels
        // at 96 dpi with the gap.
        const bool button = std::strcmp(className, "Button") == 0;
        const LONG type = style & BS_TYPEMASK;
        if ((std::strcmp(className, "Static") == 0 && !Fits(control, text, DT_WORDBREAK | DT_EXPANDTABS, 0)) ||
            (button && type <= BS_DEFPUSHBUTTON && !Fits(control, text, DT_SINGLELINE, MulDiv(4, dpi, 96))) ||
            (button && type == BS_AUTORADIOBUTTON && !Fits(control, text, DT_SINGLELINE, 0, MulDiv(16, dpi, 96)))) {
            Fail(name + " does not fit its control");
        }
    }
}

struct Check {
    const ExpectedTexts& expected;
    int dpi;
    bool pause;
};

// Compares, measures and reports one dialog, then closes it.
void Inspect(const Check& check, HWND dialog, const char* which, const char* templateName)
{
    const std::wstring caption = WindowTextOf(dialog);
    if (caption != check.expected.Caption(templateName)) {
        Fail(std::string(which) + ": the caption is \"" + Utf8(caption) + "\", not \"" +
             Utf8(check.expected.Caption(templateName)) + "\"");
    }
    CheckFit(dialog, which, check.dpi);
    if (check.pause) {
        // Let Wine hand the drawn window to the X server before the capture.
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 300) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            Sleep(20);
        }
        RECT rect = {};
        GetWindowRect(dialog, &rect);
        std::printf("%s %ld %ld %ld %ld\n", which, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        std::fflush(stdout);
        char line[16];
        DWORD read = 0;
        ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &read, nullptr);
    }
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: language_check LANGID [--pause]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string stage = vlexif::test::Stage("stage");
    const ExpectedTexts expected(stage + "Vlexifres.dll", static_cast<LANGID>(std::strtoul(argv[1], nullptr, 16)));
    const HDC screen = GetDC(nullptr);
    const Check check{expected, GetDeviceCaps(screen, LOGPIXELSY), argc > 2 && std::strcmp(argv[2], "--pause") == 0};
    ReleaseDC(nullptr, screen);
    std::printf("dpi %d\nplug-in:  %s\n", check.dpi, Utf8(expected.Text(IDS_DISPLAY_TEXT_2)).c_str());

    vlexif::test::TestRegistryKey key;
    vlexif::test::HostRecords records;
    records.SetRegistry(key);
    const vlexif::test::PluginLibrary plugin(stage);

    {
        const vlexif::test::MessageBoxCatcher messages;
        records.DescribeImage(300, 2, 2, 1, 4, 1); // 4-bit grey, which no host format is
        plugin.Call(vlexif::CmdCheckFormat, records.params);
        if (messages.Messages().size() != 1 ||
            messages.Messages()[0].caption != Ansi(expected.Text(IDS_MESSAGE_CAPTION)) ||
            messages.Messages()[0].text != Ansi(expected.Text(IDS_BAD_FORMAT))) {
            Fail("the message box for an unknown format is not the expected language's");
        }
    }

    if (plugin.Call(vlexif::CmdDescribe, records.params) != vlexif::StatusOk) {
        Fail("describe failed");
    }
    char summary[160];
    wsprintfA(summary, Ansi(expected.Text(IDS_SUMMARY_FORMAT)).c_str(), 75);
    if (std::string(records.params.displayText1) != Ansi(expected.Text(IDS_DISPLAY_TEXT_1)) ||
        std::string(records.params.displayText2) != Ansi(expected.Text(IDS_DISPLAY_TEXT_2)) ||
        std::string(records.params.summaryText) != summary + Ansi(expected.Text(IDS_SUMMARY_COLOUR_AUTO))) {
        Fail("the describe texts are not the expected language's");
    }

    const DialogDriver driver({[&](HWND dialog) { Inspect(check, dialog, "about", "ABOUT"); },
                               [&](HWND dialog) { Inspect(check, dialog, "compression", "DETAILS"); }});
    plugin.Call(vlexif::CmdAbout, records.params);
    plugin.Call(vlexif::CmdConfigure, records.params);
    if (driver.Opened() != 2) {
        Fail("the dialogs did not both open");
    }
    return failures == 0 ? 0 : 1;
}
