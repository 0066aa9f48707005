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

bool IsSpoolPathIn(const char* tempDir, const char* path)
{
    const size_t dirLength = std::strlen(tempDir);
    return dirLength != 0 && tempDir[dirLength - 1] == '\\' && std::strlen(path) > dirLength &&
        SameLetters(tempDir, path, dirLength) && IsSpoolName(path + dirLength);
}

bool IsDriveSpoolPath(const char* path)
{
    if (!std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' || path[2] != '\\' ||
        std::strpbrk(path + 2, ":/") != nullptr) {
        return false;
    }
    return IsSpoolName(std::strrchr(path, '\\') + 1);
}

} // namespace vlexif
