#include "win32/AnsiCodePage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vlexif {
namespace {

// The ranges GetCPInfo gives are the bytes Windows itself takes for leads,
// and NextChar walks text as CharNextExA does, whatever the ANSI code page
// of the run.
TEST(AnsiCodePage, LeadBytesAndStepsAreWindowsOwn)
{
    std::mt19937 random(25);
    for (const unsigned codePage : {932U, 936U, 949U, 950U, 1252U}) {
        SCOPED_TRACE(codePage);
        const LeadBytes lead = CodePageLeadBytes(codePage);
        for (int byte = 1; byte < 256; ++byte) {
            ASSERT_EQ(lead.IsLead(static_cast<char>(byte)), IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte)) != 0)
                << byte;
        }
        for (int round = 0; round < 200; ++round) {
            std::string text(12, ' ');
            for (char& c : text) {
                c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
            }
            for (const char* at = text.c_str(); *at;) {
                const char* next = NextChar(at, lead);
                ASSERT_EQ(next, CharNextExA(static_cast<WORD>(codePage), at, 0)) << text;
                at = next;
            }
        }
    }
    const LeadBytes ansi = AnsiLeadBytes();
    for (int byte = 1; byte < 256; ++byte) {
        EXPECT_EQ(ansi.IsLead(static_cast<char>(byte)), IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0) << byte;
    }
}

} // namespace
} // namespace vlexif
