// Cuts that keep double-byte characters whole, and every text of every
// language of the resource library within its buffer in its own code page.
// (Which language the plug-in shows under which locale, tests/dialogs/
// dialog-fit.sh checks end to end.)
#include "win32/ResourceText.h"
#include "interface/ResourceIds.h"
#include "tests/support/TestSupport.h"
#include "win32/Module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vlexif {
namespace {

using test::InCodePage;
using test::StoredText;

TEST(ResourceTextCut, KeepsDoubleByteCharactersWholeAndRefusesSubstitutes)
{
    const std::wstring three = L"\x5727\x7E2E\x7387"; // six bytes in code page 932
    char buffer[8];
    WriteInCodePage(932, three.data(), 3, buffer, 7);
    EXPECT_EQ(std::string(buffer), InCodePage(932, three));
    WriteInCodePage(932, three.data(), 3, buffer, 6);
    EXPECT_EQ(std::string(buffer), InCodePage(932, three.substr(0, 2)));
    WriteInCodePage(932, L"A\x5727", 2, buffer, 3);
    EXPECT_EQ(std::string(buffer), "A");

    EXPECT_TRUE(Representable(1252,
                              L"Gr\x00F6\x00DF"
                              L"e",
                              5));
    EXPECT_FALSE(Representable(1252,
                               L"wyj\x015B"
                               L"ciowa",
                               10));
    EXPECT_TRUE(Representable(1250,
                              L"wyj\x015B"
                              L"ciowa",
                              10));
    EXPECT_FALSE(Representable(932, L"\x00E4", 1)); // no best-fit "a" for an umlaut
    EXPECT_TRUE(Representable(CP_UTF8, three.data(), 3));
}

BOOL CALLBACK NoteLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages)
{
    reinterpret_cast<std::set<LANGID>*>(languages)->insert(language);
    return TRUE;
}

std::set<LANGID> LanguagesOf(LPCWSTR type, LPCWSTR name)
{
    std::set<LANGID> languages;
    EnumResourceLanguagesW(ResourceModule(), type, name, NoteLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

// Integer conversions in a wsprintf format; -1 for any other conversion.
int IntegerConversions(const std::wstring& format)
{
    int count = 0;
    for (size_t at = format.find(L'%'); at != std::wstring::npos; at = format.find(L'%', at + 1)) {
        const size_t end = format.find_first_not_of(L"-#0123456789", at + 1);
        if (end == std::wstring::npos) {
            return -1;
        }
        if (format[end] == L'%' && end == at + 1) {
            at = end;
        } else if (format[end] == L'd' || format[end] == L'i' || format[end] == L'u') {
            ++count;
        } else {
            return -1;
        }
    }
    return count;
}

// Without the code page declared, the resource compiler reads the UTF-8
// sources as code page 1252: "\xC3\xA4" for an "a" with umlaut, bytes that
// in 1252 form UTF-8 again.
bool ReadAsWrongCodePage(const std::string& bytes)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    return !ascii &&
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) >
        0;
}

TEST(ResourceLibrary, EveryLanguageHasEveryTextWithinItsBufferInItsCodePage)
{
    const std::set<LANGID> ten = {0x0409, 0x0407, 0x040C, 0x0C0A, 0x0410, 0x0416, 0x0413, 0x0415, 0x0411, 0x0804};
    EXPECT_EQ(LanguagesOf(MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(IDS_MESSAGE_CAPTION / 16 + 1)), ten);
    EXPECT_EQ(LanguagesOf(MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(IDS_NO_MEMORY / 16 + 1)), ten);
    EXPECT_EQ(LanguagesOf(MAKEINTRESOURCEW(5), L"ABOUT"), ten);
    EXPECT_EQ(LanguagesOf(MAKEINTRESOURCEW(5), L"DETAILS"), ten);

    // Each text and the bytes the plug-in reads it into, terminator included.
    const std::pair<UINT, size_t> texts[] = {
        {IDS_MESSAGE_CAPTION, 32}, {IDS_SHORT_TEXT, 8},     {IDS_DISPLAY_TEXT_1, 32},  {IDS_DISPLAY_TEXT_2, 32},
        {IDS_SUMMARY_FORMAT, 128}, {IDS_NO_MEMORY, 128},    {IDS_DISK_FULL, 128},      {IDS_FILE_ERROR, 128},
        {IDS_BAD_FORMAT, 128},     {IDS_SAVED_BESIDE, 128}, {IDS_PAGE_TOO_LARGE, 128}, {IDS_PLUGIN_IN_USE, 128},
        {IDS_JOB_CHANGED, 128},
    };
    for (const LANGID language : ten) {
        DWORD codePage = 0;
        GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t));
        EXPECT_EQ(std::set<DWORD>({1252, 1250, 932, 936}).count(codePage), 1U) << language << " " << codePage;
        for (const auto& [id, buffer] : texts) {
            const std::wstring text = StoredText(ResourceModule(), id, language);
            EXPECT_FALSE(text.empty()) << language << " " << id;
            EXPECT_TRUE(Representable(codePage, text.data(), static_cast<int>(text.size()))) << language << " " << id;
            EXPECT_LT(InCodePage(codePage, text).size(), buffer) << language << " " << id;
            EXPECT_FALSE(ReadAsWrongCodePage(InCodePage(1252, text))) << language << " " << id;
        }
        EXPECT_EQ(IntegerConversions(StoredText(ResourceModule(), IDS_SUMMARY_FORMAT, language)), 1) << language;
    }
}

TEST(ResourceLibrary, TheChecksOfItsTextsFindWhatTheyLookFor)
{
    EXPECT_TRUE(ReadAsWrongCodePage("Qualit\xC3\xA4t"));
    EXPECT_FALSE(ReadAsWrongCodePage("Qualit\xE4t"));
    EXPECT_EQ(IntegerConversions(L"rate %d%%"), 1);
    EXPECT_EQ(IntegerConversions(L"%d %d"), 2);
    EXPECT_EQ(IntegerConversions(L"75 %"), -1);
    EXPECT_EQ(IntegerConversions(L"%s"), -1);
}

} // namespace
} // namespace vlexif
