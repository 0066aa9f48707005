// Names of the plug-in's commands and statuses, and what a failure means,
// for messages.
#pragma once

#include <cstdint>
#include <string>

namespace vlscan {

// "StatusBadFormat (209)"; an unknown value reads "status 1234".
std::string StatusText(uint16_t status);

// "CmdWriteBlock"; an unknown code reads "command 12".
std::string CommandName(uint32_t command);

// What went wrong when `command` returned `status`, in words for the user:
// "the plug-in does not accept this pixel format".
std::string FailureText(uint32_t command, uint16_t status);

} // namespace vlscan
