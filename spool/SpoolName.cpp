#include "spool/SpoolName.h"

#include <cctype>
#include <cstring>

namespace vlexif {

namespace {

bool SameLetters(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsSpoolName(const char* name)
{
    const size_t prefixLength = sizeof SpoolNamePrefix - 1;
    if (std::strlen(name) < prefixLength || !SameLetters(name, SpoolNamePrefix, prefixLength)) {
        return false;
    }
    const char* digits = name + prefixLength;
    size_t count = 0;
    while (count < 5 && std::isxdigit(static_cast<unsigned char>(digits[count]))) {
        ++count;
    }
    constexpr char Extension[] = ".tmp";
    return count >= 1 && count <= 4 && std::strlen(digits + count) == sizeof Extension - 1 &&
        SameLetters(digits + count, Extension, sizeof Extension - 1);
}

bool IsSpoolPathIn(const char* tempDir, const char* path, const LeadBytes& lead)
{
    const size_t dirLength = std::strlen(tempDir);
    const char* separator = LastSeparator(tempDir, lead);
    return dirLength != 0 && separator == tempDir + dirLength - 1 && *separator == '\\' &&
        StartsWithNoCase(path, tempDir, lead) && IsSpoolName(path + dirLength);
}

bool IsDriveSpoolPath(const char* path, const LeadBytes& lead)
{
    if (!std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' || path[2] != '\\') {
        return false;
    }
    for (const char* at = path + 2; *at != '\0'; at = NextChar(at, lead)) {
        if (*at == ':' || *at == '/') {
            return false;
        }
    }
    return IsSpoolName(LastSeparator(path, lead) + 1);
}

} // namespace vlexif
