#include "win32/AnsiChars.h"

namespace vlexif {

namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

LeadBytes::LeadBytes(const uint8_t* ranges, size_t size)
{
    for (size_t at = 0; at + 1 < size && (ranges[at] != 0 || ranges[at + 1] != 0); at += 2) {
        for (unsigned value = ranges[at]; value <= ranges[at + 1]; ++value) {
            bits[value / 32] |= 1U << (value % 32);
        }
    }
}

const char* NextChar(const char* text, const LeadBytes& lead)
{
    if (*text == '\0') {
        return text;
    }
    return lead.IsLead(text[0]) && text[1] != '\0' ? text + 2 : text + 1;
}

size_t WholeCharsLength(const char* text, size_t most, const LeadBytes& lead)
{
    // Reads no byte from `most` on: a field need not hold a NUL.
    size_t length = 0;
    while (length < most && text[length] != '\0') {
        if (!lead.IsLead(text[length])) {
            ++length;
        } else if (length + 2 <= most && text[length + 1] != '\0') {
            length += 2;
        } else {
            break;
        }
    }
    return length;
}

void CopyWholeChars(char* out, size_t size, const char* text, const LeadBytes& lead)
{
    const size_t length = WholeCharsLength(text, size - 1, lead);
    for (size_t i = 0; i < length; ++i) {
        out[i] = text[i];
    }
    out[length] = '\0';
}

const char* LastSeparator(const char* path, const LeadBytes& lead)
{
    const char* last = nullptr;
    for (const char* at = path; *at != '\0'; at = NextChar(at, lead)) {
        if (*at == '\\' || *at == '/') {
            last = at;
        }
    }
    return last;
}

bool StartsWithNoCase(const char* text, const char* prefix, const LeadBytes& lead)
{
    while (*prefix != '\0') {
        const auto length = NextChar(prefix, lead) - prefix;
        if (NextChar(text, lead) - text != length) {
            return false;
        }
        const bool same =
            length == 2 ? text[0] == prefix[0] && text[1] == prefix[1] : AsciiLower(text[0]) == AsciiLower(prefix[0]);
        if (!same) {
            return false;
        }
        text += length;
        prefix += length;
    }
    return true;
}

} // namespace vlexif
