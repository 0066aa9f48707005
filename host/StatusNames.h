// Names of the plug-in's commands and statuses for messages.
#pragma once

#include <cstdint>
#include <string>

namespace vlscan {

// "StatusBadFormat (209)"; an unknown value reads "status 1234".
std::string StatusText(uint16_t status);

// "CmdWriteBlock"; an unknown code reads "command 12".
std::string CommandName(uint32_t command);

} // namespace vlscan
