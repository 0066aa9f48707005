#include "entry/StatusReporter.h"

#include "interface/ResourceIds.h"
#include "win32/ResourceText.h"

namespace vlexif {

namespace {

// The message string for a status, or 0 when the status shows nothing.
UINT MessageIdFor(PluginStatus status)
{
    if (status == StatusNoMemory) {
        return IDS_NO_MEMORY;
    }
    if (status == StatusDiskFull) {
        return IDS_DISK_FULL;
    }
    if (status >= StatusCreateFailed && status <= StatusCloseFailed) {
        return IDS_FILE_ERROR;
    }
    if (status == StatusBadFormat) {
        return IDS_BAD_FORMAT;
    }
    return 0;
}

} // namespace

void ReportStatus(HWND owner, PluginStatus status, UINT messageOverride)
{
    const UINT messageId = MessageIdFor(status) != 0 && messageOverride != 0 ? messageOverride : MessageIdFor(status);
    if (messageId == 0) {
        return;
    }
    char caption[32] = {};
    char text[128] = {};
    LoadResourceText(IDS_MESSAGE_CAPTION, caption, sizeof caption);
    LoadResourceText(messageId, text, sizeof text);
    MessageBoxA(owner, text, caption, MB_OK);
}

} // namespace vlexif
