// Status codes VkExf_Entry returns in the low 16 bits, and every converter
// step returns. They are the converter's own list, apart from the plug-in's
// PluginStatus: they share its range and some meanings, but not every value
// (206 is ReplaceFailed here and CloseFailed in the plug-in). The plug-in
// tells success, VkExfSavedBeside and any other failure apart; the other
// values are for vkexf-run, vlscan and the tests, and the words for the user
// come from VkExf_LastError.
#pragma once

#include "interface/VkExf.h"

#include <cstdint>

namespace vkexf {

enum [[nodiscard]] Status : uint16_t{
    StatusOk = 0,
    StatusDiskFull = 201,
    StatusCreateFailed = 202,             // the output file cannot be created
    StatusReadFailed = 203,               // spool file could not be opened or read
    StatusWriteFailed = 205,              // writing or encoding the JPEG
    StatusReplaceFailed = 206,            // the destination cannot be replaced
    StatusSavedBeside = VkExfSavedBeside, // not replaced, but the new JPEG kept beside it
    StatusSeekFailed = 208,
    StatusBadFormat = 209,    // spool file is not a BMP this converter reads
    StatusBadArguments = 211, // missing job record, destination or spool path
    StatusNoMemory = 0xFFFF,
};

} // namespace vkexf
