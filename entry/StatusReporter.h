// Turns a failing status into a message box with the resource library's texts.
#pragma once

#include "interface/HostInterface.h"

namespace vlexif {

void ReportStatus(HWND owner, PluginStatus status);

} // namespace vlexif
