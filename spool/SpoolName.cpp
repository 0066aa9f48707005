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

bool IsSpoolPathIn(const char* tempDir, const char* path)
{
    const size_t dirLength = std::strlen(tempDir);
    if (dirLength == 0 || tempDir[dirLength - 1] != '\\' || std::strlen(path) <= dirLength ||
        !SameLetters(tempDir, path, dirLength)) {
        return false;
    }
    const char* name = path + dirLength;
    const size_t prefixLength = sizeof SpoolNamePrefix - 1;
    return SameLetters(name, SpoolNamePrefix, prefixLength) && std::strpbrk(name, "\\/:") == nullptr;
}

} // namespace vlexif
