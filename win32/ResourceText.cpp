#include "win32/ResourceText.h"

#include "interface/ResourceIds.h"
#include "win32/AnsiChars.h"
#include "win32/AnsiCodePage.h"
#include "win32/Module.h"

#include <algorithm>

namespace vlexif {

namespace {

constexpr WORD English = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr UINT StringsPerBlock = 16;

LPCSTR BlockOf(UINT id)
{
    return MAKEINTRESOURCEA(id / StringsPerBlock + 1);
}

// A string table block: 16 texts, each a count of UTF-16 units and the units.
class StringBlock {
public:
    StringBlock(HMODULE module, HRSRC found)
    {
        const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        units = loaded ? static_cast<const wchar_t*>(LockResource(loaded)) : nullptr;
        size = units ? SizeofResource(module, found) / sizeof(wchar_t) : 0;
    }

    // Text `index` of the block; false past the end of a damaged block.
    bool Text(UINT index, const wchar_t*& text, int& length) const
    {
        DWORD at = 0;
        for (UINT i = 0; i < index && at < size; ++i) {
            at += units[at] + 1;
        }
        if (at >= size || units[at] > size - at - 1) {
            return false;
        }
        text = units + at + 1;
        length = units[at];
        return true;
    }

private:
    const wchar_t* units = nullptr;
    DWORD size = 0;
};

// The block Windows picks for the thread holds only texts the code page can write.
bool ChosenBlockShows(HMODULE module, UINT id)
{
    const StringBlock block(module, FindResourceA(module, BlockOf(id), RT_STRING));
    const wchar_t* text = nullptr;
    int length = 0;
    for (UINT index = 0; index < StringsPerBlock && block.Text(index, text, length); ++index) {
        if (!Representable(CP_ACP, text, length)) {
            return false;
        }
    }
    return true;
}

// Decided for the language as a whole, so that a message box never mixes two.
bool ChosenLanguageShows(HMODULE module)
{
    return ChosenBlockShows(module, IDS_MESSAGE_CAPTION) && ChosenBlockShows(module, IDS_NO_MEMORY);
}

} // namespace

bool Representable(UINT codePage, const wchar_t* text, int length)
{
    if (length == 0 || (codePage == CP_ACP ? GetACP() : codePage) == CP_UTF8) {
        return true;
    }
    BOOL defaulted = FALSE;
    const int bytes =
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &defaulted);
    return bytes > 0 && !defaulted;
}

void WriteInCodePage(UINT codePage, const wchar_t* text, int length, char* buffer, int size)
{
    if (size <= 0) {
        return;
    }
    // Every character takes a byte at least. Cutting whole UTF-16 units off
    // until the rest fits never leaves half a double-byte character behind.
    int written = 0;
    for (int count = std::min(length, size - 1); count > 0 && written == 0; --count) {
        if (!IS_HIGH_SURROGATE(text[count - 1])) {
            written = WideCharToMultiByte(codePage, 0, text, count, buffer, size - 1, nullptr, nullptr);
        }
    }
    buffer[written] = '\0';
}

void LoadResourceText(UINT id, char* buffer, int size)
{
    if (size <= 0) {
        return;
    }
    buffer[0] = '\0';
    const HMODULE module = ResourceModule();
    if (ChosenLanguageShows(module)) {
        LoadStringA(module, id, buffer, size);
        // LoadStringA cuts by bytes, and may leave half a double-byte character.
        buffer[WholeCharsLength(buffer, static_cast<size_t>(size - 1), AnsiLeadBytes())] = '\0';
        return;
    }
    const StringBlock block(module, FindResourceExA(module, RT_STRING, BlockOf(id), English));
    const wchar_t* text = nullptr;
    int length = 0;
    if (block.Text(id % StringsPerBlock, text, length)) {
        WriteInCodePage(CP_ACP, text, length, buffer, size);
    }
}

INT_PTR ShowResourceDialog(const char* name, HWND owner, DLGPROC procedure, LPARAM parameter)
{
    const HMODULE module = ResourceModule();
    if (ChosenLanguageShows(module)) {
        return DialogBoxParamA(module, name, owner, procedure, parameter);
    }
    const HRSRC found = FindResourceExA(module, RT_DIALOG, name, English);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEA>(LockResource(loaded)) : nullptr;
    if (!dialogTemplate) {
        return -1; // what DialogBoxParamA answers for a missing template
    }
    return DialogBoxIndirectParamA(module, dialogTemplate, owner, procedure, parameter);
}

} // namespace vlexif
