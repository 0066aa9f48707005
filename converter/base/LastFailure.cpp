#include "converter/base/LastFailure.h"

#include "win32/AnsiChars.h"
#include "win32/AnsiCodePage.h"

#include <cstdio>
#include <cstring>

namespace vkexf {

namespace {

// Two paths' worth: the longest path and the longest system message fit.
char lastFailure[1024];
Status lastStatus = StatusOk;

// Our own words for the failures a user can fix; the system's text, in the
// user's language, for the rest.
const char* Reason(DWORD error, char* buffer, DWORD size)
{
    switch (error) {
    case ERROR_PATH_NOT_FOUND:
        return "the directory does not exist";
    case ERROR_FILE_NOT_FOUND:
        return "the file does not exist";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "the file is in use by another program";
    case ERROR_WRITE_PROTECT:
        return "the disk is write-protected";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "not enough memory";
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return "path too long";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return "the name is not valid here";
    case ERROR_NO_UNICODE_TRANSLATION:
        return "the name is not valid in the system code page";
    default:
        break;
    }
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                                  size, nullptr);
    // System texts end in a full stop and a line break.
    while (length > 0 && std::strchr(" .\r\n", buffer[length - 1])) {
        buffer[--length] = '\0';
    }
    if (length == 0) {
        std::snprintf(buffer, size, "system error %lu", static_cast<unsigned long>(error));
    }
    return buffer;
}

} // namespace

void ClearLastFailure()
{
    lastFailure[0] = '\0';
    lastStatus = StatusOk;
}

Status LastFailureStatus()
{
    return lastStatus;
}

Status Fail(Status status, const char* action, const char* path, const char* reason)
{
    lastStatus = status;
    if (path) {
        std::snprintf(lastFailure, sizeof lastFailure, "%s %s: %s", action, path, reason);
    } else {
        std::snprintf(lastFailure, sizeof lastFailure, "%s: %s", action, reason);
    }
    return status;
}

Status FailWithError(Status status, const char* action, const char* path, DWORD error, const char* call)
{
    char system[256];
    const char* reason = Reason(error, system, sizeof system);
    if (!call) {
        return Fail(status, action, path, reason);
    }
    char detailed[sizeof system + 64];
    std::snprintf(detailed, sizeof detailed, "%s (%s, error %lu)", reason, call, static_cast<unsigned long>(error));
    return Fail(status, action, path, detailed);
}

void AppendToLastFailure(const char* text)
{
    const size_t length = std::strlen(lastFailure);
    std::snprintf(lastFailure + length, sizeof lastFailure - length, "%s", text);
}

uint32_t CopyLastFailure(char* text, uint32_t size)
{
    const size_t length = std::strlen(lastFailure);
    if (text && size > 0) {
        // A cut ends on a whole character, never inside a double-byte one.
        const size_t copied =
            length < size ? length : vlexif::WholeCharsLength(lastFailure, size - 1, vlexif::AnsiLeadBytes());
        std::memcpy(text, lastFailure, copied);
        text[copied] = '\0';
    }
    return static_cast<uint32_t>(length);
}

} // namespace vkexf
