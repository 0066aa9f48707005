// ANSI text walked a whole character at a time. In code pages 932, 936, 949
// and 950 a character may take two bytes, and the second can be '\' (0x5C),
// '|' or a letter: no byte of such text is searched for or cut on its own.
// Platform-free; AnsiCodePage.h gives the lead bytes of the code page in use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vlexif {

// The bytes that begin a two-byte character in one code page; none in a
// single-byte code page.
class LeadBytes {
public:
    LeadBytes() = default;
    // From pairs of first and last lead byte as CPINFO holds them: at most
    // `size` bytes, ended early by a pair of zeros.
    LeadBytes(const uint8_t* ranges, size_t size);

    bool IsLead(char byte) const
    {
        const auto value = static_cast<uint8_t>(byte);
        return (bits[value / 32] >> (value % 32)) & 1U;
    }

private:
    uint32_t bits[8] = {};
};

// The character after the one at `text`; `text` itself at the NUL. A lead
// byte before the NUL is a character of its own, as CharNextExA takes it.
const char* NextChar(const char* text, const LeadBytes& lead);

// Bytes of the longest start of `text` that has at most `most` bytes and ends
// with a whole character; no byte from `most` on is read. A lead byte that
// its text ends on is half a character and never counts.
size_t WholeCharsLength(const char* text, size_t most, const LeadBytes& lead);

// `text` copied into `size` bytes (at least one) with its NUL, cut if it must
// be before a whole character: lstrcpynA, which may split one.
void CopyWholeChars(char* out, size_t size, const char* text, const LeadBytes& lead);

// The last '\' or '/' of `path` that is a character of its own; null when
// there is none.
const char* LastSeparator(const char* path, const LeadBytes& lead);

// True when `text` begins with every character of `prefix`: ASCII letters
// alike in either case, as file names are, any other character byte for byte.
bool StartsWithNoCase(const char* text, const char* prefix, const LeadBytes& lead);

} // namespace vlexif
