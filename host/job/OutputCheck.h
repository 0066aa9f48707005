// What can be known about the output before a job starts: its directory
// exists and takes new files, an existing file may be replaced, and the path
// has an ANSI form that fits the job record and leaves the converter room
// for its temporary file beside it. A page is not scanned only to learn at
// the end that its JPEG has nowhere to go.
#pragma once

#include <string>

namespace vlscan {

struct OutputTarget {
    std::string shownPath; // the full path in UTF-8, for messages
    std::string jobPath;   // the same file in the ANSI code page, for the job record
};

// Empty when a job can write to `output` (UTF-8), with `target` filled;
// else why not, in words for the user, with target.shownPath as far as known.
[[nodiscard]] std::string CheckOutput(const std::string& output, OutputTarget& target);

} // namespace vlscan
