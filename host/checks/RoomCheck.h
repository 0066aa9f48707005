// Whether a page's job has the disk space it takes, known once the page's
// size is: the temporary folder must exist, take the plug-in's spool file
// and have room for it, and the output's volume must have room for the
// least its JPEG takes, besides the spool file when the two share a volume.
#pragma once

#include "host/checks/OutputCheck.h"

#include <cstdint>
#include <string>

namespace vlscan {

// Empty when both have room; else why not, in words for the user, naming the
// temporary folder or `output` (the path as the user gave it). A temporary
// folder that the ANSI code page cannot name, or only too long, is handed to
// the plug-in by its short form: TMP and TEMP are set to it. For a page
// that PageSizeRefusal (JobSpace.h) lets through.
std::string CheckRoom(const std::string& output, const OutputTarget& target, uint32_t width, uint32_t height);

} // namespace vlscan
