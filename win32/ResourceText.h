// The resource library's texts and dialog templates in the language Windows'
// resource loader picks for the thread, unless that language cannot be
// written in the ANSI code page in force: then in English, where LoadStringA
// would have shown the user question marks.
#pragma once

#include <windows.h>

namespace vlexif {

// As LoadStringA: the text cut to fit `size` bytes with its terminator, never
// inside a double-byte character; empty when there is no such text.
void LoadResourceText(UINT id, char* buffer, int size);

// As DialogBoxParamA on a template of the resource library.
INT_PTR ShowResourceDialog(const char* name, HWND owner, DLGPROC procedure, LPARAM parameter);

// Whether every character of `text` has a form of its own in `codePage`.
bool Representable(UINT codePage, const wchar_t* text, int length);

// `text` in `codePage`, cut after the last whole character that fits `size`
// bytes with the terminator.
void WriteInCodePage(UINT codePage, const wchar_t* text, int length, char* buffer, int size);

} // namespace vlexif
