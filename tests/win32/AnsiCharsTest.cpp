#include "win32/AnsiChars.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vlexif {
namespace {

// The lead bytes of code pages 932 and 950, in CPINFO's form.
constexpr uint8_t Ranges932[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0, 0x20, 0x7F};
constexpr uint8_t Ranges950[] = {0x81, 0xFE, 0, 0};
const LeadBytes Lead932(Ranges932, sizeof Ranges932);
const LeadBytes Lead950(Ranges950, sizeof Ranges950);
const LeadBytes SingleByte;

// 予定表 and 機能 in 932, 成功 and 許 in 950: each ends in the byte 0x5C.
const char* const Folder932 = "a\x97\x5C\x92\xE8\x95\x5C\x8B\x40\x94\x5C";
const char* const Folder950 = "\xA6\xA8\xA5\x5C\xB3\x5C";

TEST(LeadBytes, TheRangesUpToTheirZeroPair)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        EXPECT_EQ(Lead932.IsLead(c), (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) << byte;
        EXPECT_EQ(Lead950.IsLead(c), byte >= 0x81 && byte <= 0xFE) << byte;
        EXPECT_FALSE(SingleByte.IsLead(c)) << byte;
    }
}

// Every cut of a text ends at one of its characters' ends, the last that
// fits, and nothing is written past the buffer's size.
TEST(WholeChars, ACutNeverSplitsACharacter)
{
    const struct {
        const char* text;
        const LeadBytes& lead;
        std::vector<size_t> ends; // of each whole character
    } cases[] = {
        {Folder932, Lead932, {1, 3, 5, 7, 9, 11}},
        {Folder950, Lead950, {2, 4, 6}},
        {Folder950, SingleByte, {1, 2, 3, 4, 5, 6}},
        {"ab\x95", Lead932, {1, 2}}, // half a character at the end is none
    };
    for (const auto& c : cases) {
        for (size_t most = 0; most <= std::strlen(c.text) + 1; ++most) {
            SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(most));
            size_t expected = 0;
            for (const size_t end : c.ends) {
                expected = end <= most ? end : expected;
            }
            EXPECT_EQ(WholeCharsLength(c.text, most, c.lead), expected);
            char out[16];
            std::memset(out, '#', sizeof out);
            CopyWholeChars(out, most + 1, c.text, c.lead);
            EXPECT_EQ(std::string(out), std::string(c.text, expected));
            EXPECT_EQ(out[most + 1], '#');
        }
    }
}

// A field without a NUL is read up to its size and no further (the
// sanitizers see an overread); a lead byte in its last place is dropped.
TEST(WholeChars, AFullFieldIsReadNoFurther)
{
    const char field[4] = {'a', 'b', '\x95', '\x5C'};
    EXPECT_EQ(WholeCharsLength(field, sizeof field, Lead932), 4u);
    EXPECT_EQ(WholeCharsLength(field, 3, Lead932), 2u);
    EXPECT_EQ(WholeCharsLength(field, 3, SingleByte), 3u);
}

TEST(LastSeparator, OnlyASeparatorOfItsOwn)
{
    const std::string path932 = std::string("C:\\x\\") + Folder932;
    EXPECT_EQ(LastSeparator(path932.c_str(), Lead932), path932.c_str() + 4);
    EXPECT_EQ(LastSeparator(path932.c_str(), SingleByte), path932.c_str() + path932.size() - 1);
    const std::string path950 = std::string("C:/") + Folder950;
    EXPECT_EQ(LastSeparator(path950.c_str(), Lead950), path950.c_str() + 2);
    // Read from the start: 0xA6 0xA5 is a character, the 0x5C after it not
    // part of one.
    const char* const dbcsThenSeparator = "C:\\\xA6\xA5\\x";
    EXPECT_EQ(LastSeparator(dbcsThenSeparator, Lead950), dbcsThenSeparator + 5);
    EXPECT_EQ(LastSeparator("name", Lead932), nullptr);
    EXPECT_EQ(LastSeparator("\x95\x5C", Lead932), nullptr);
}

TEST(StartsWithNoCase, AsciiLettersInEitherCaseOtherCharactersExactly)
{
    EXPECT_TRUE(StartsWithNoCase("C:\\TEMP\\~tf1.tmp", "c:\\temp\\", Lead932));
    EXPECT_TRUE(StartsWithNoCase(Folder932, Folder932, Lead932));
    // 0x82 0x61 and 0x82 0x41 are two different characters.
    EXPECT_FALSE(StartsWithNoCase("\x82\x41", "\x82\x61", Lead932));
    EXPECT_TRUE(StartsWithNoCase("\x82\x41", "\x82\x61", SingleByte));
    // A prefix that ends in half a character does not begin a whole one.
    EXPECT_FALSE(StartsWithNoCase("\x95\x5C", "\x95", Lead932));
    EXPECT_FALSE(StartsWithNoCase("ab", "abc", Lead932));
}

} // namespace
} // namespace vlexif
