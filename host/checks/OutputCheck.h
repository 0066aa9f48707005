// What can be known about the output before a job starts: its names keep
// Windows' rules, its directory exists and takes new files, an existing file
// may be replaced, and the path has an ANSI form that fits the job record. A
// page is not scanned only to learn at the end that its JPEG has nowhere to
// go.
#pragma once

#include <string>

namespace vlscan {

struct OutputTarget {
    std::string shownPath; // the full path in UTF-8, for the closing summary
    std::string jobPath;   // the same file in the ANSI code page, for the job record
    std::wstring folder;   // its directory, full
};

// Empty when a job can write to `output` (UTF-8, as the user gave it), with
// `target` filled; else why not, in words for the user.
[[nodiscard]] std::string CheckOutput(const std::string& output, OutputTarget& target);

} // namespace vlscan
