// Turns a failing status into a message box with the resource library's texts.
#pragma once

#include "interface/HostInterface.h"

namespace vlexif {

// `messageId`, when not 0, names the text to show for a failing status
// instead of the status's own.
void ReportStatus(HWND owner, PluginStatus status, UINT messageId = 0);

} // namespace vlexif
