// What the host asks of a folder before a job writes into it: that it takes
// a new file, with the system's refusal in words.
#pragma once

#include <windows.h>

#include <string>

namespace vlscan {

// A Win32 error in words for the user: "access denied", "the disk is full".
std::string ErrorText(DWORD error);

// Empty when a new file can be made in `folder`; else why not, in words. The
// probe deletes itself on closing, so nothing stays behind even if the
// process dies here.
std::string NewFileRefusal(const std::wstring& folder);

} // namespace vlscan
