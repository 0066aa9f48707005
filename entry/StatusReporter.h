// Turns a failing status into a message box with the resource library's texts.
#pragma once

#include "entry/HostInterface.h"

namespace vlexif {

// The message string for a status, or 0 when the status shows nothing.
UINT MessageIdFor(PluginStatus status);

void ReportStatus(HWND owner, PluginStatus status);

} // namespace vlexif
