#include "entry/StatusReporter.h"

#include "entry/Module.h"
#include "entry/ResourceIds.h"

namespace vlexif {

namespace {

// The message string for a status, or 0 when the status shows nothing.
UINT MessageIdFor(PluginStatus status)
{
    const int16_t code = static_cast<int16_t>(status);
    if (code == -1) {
        return IDS_NO_MEMORY;
    }
    if (code == 201) {
        return IDS_DISK_FULL;
    }
    if (code >= 202 && code <= 206) {
        return IDS_FILE_ERROR;
    }
    if (code == 209) {
        return IDS_BAD_FORMAT;
    }
    return 0;
}

} // namespace

void ReportStatus(HWND owner, PluginStatus status)
{
    const UINT messageId = MessageIdFor(status);
    if (messageId == 0) {
        return;
    }
    char caption[32] = {};
    char text[128] = {};
    LoadStringA(ResourceModule(), IDS_MESSAGE_CAPTION, caption, sizeof caption);
    LoadStringA(ResourceModule(), messageId, text, sizeof text);
    MessageBoxA(owner, text, caption, MB_OK);
}

} // namespace vlexif
