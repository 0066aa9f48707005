// The compression settings: a trackbar and an edit box that follow each
// other over 0..100, and the colour mode's radio buttons. OK stores the
// trackbar's rate and the mode checked; OK, Cancel and closing all store
// where the dialog was, which is where it opens next time.
#pragma once

#include "dialogs/KeyForwarder.h"
#include "dialogs/PluginDialog.h"
#include "interface/VkExf.h"

#include <cstdint>

namespace vlexif {

class CompressionDialog : public PluginDialog {
public:
    CompressionDialog(HWND owner, const SettingsStore& store);

    int Run() override;

private:
    static INT_PTR CALLBACK CompressionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    void InitControls();
    INT_PTR OnCommand(WPARAM wParam);
    void FollowEditBox();
    void FollowTrackbar();
    uint32_t CheckedColourMode() const;
    void Close(WPARAM wParam);

    int32_t rate = 75;
    uint32_t colourMode = VkExfColourAuto;
    KeyForwarder keys;
};

} // namespace vlexif
