// Why the last conversion failed, in words for the user: what could not be
// done, to which path, and why ("cannot write D:\out\page.jpg: access
// denied"). One text per process, kept in the DLL's own storage while it is
// loaded; the host calls the converter from one thread at a time.
#pragma once

#include "converter/base/ConverterStatus.h"

#include <windows.h>

#include <cstdint>

namespace vkexf {

// Phrases for what failed; the path follows them.
constexpr char CannotRead[] = "cannot read the spool file";
constexpr char CannotWrite[] = "cannot write";
constexpr char CannotReplace[] = "cannot replace";

void ClearLastFailure();
// The status the last failure was recorded with; StatusOk after ClearLastFailure.
Status LastFailureStatus();

// Records "<action> <path>: <reason>" (without the path when there is none)
// and returns `status`, so a step can end with `return Fail(...)`.
Status Fail(Status status, const char* action, const char* path, const char* reason);
// The same with the reason a Win32 error code gives, and, when `call` is
// named, the call and the code after it for a bug report:
// "cannot replace D:\out\page.jpg: access denied (SetFileInformationByHandle, error 5)".
Status FailWithError(Status status, const char* action, const char* path, DWORD error, const char* call = nullptr);
// Adds `text` to the end of the recorded reason.
void AppendToLastFailure(const char* text);

// VkExf_LastError's copy: at most `size` bytes with the NUL, full length back.
uint32_t CopyLastFailure(char* text, uint32_t size);

} // namespace vkexf
