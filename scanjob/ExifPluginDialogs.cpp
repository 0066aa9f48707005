// The two commands that show dialogs.
#include "dialogs/AboutDialog.h"
#include "dialogs/CompressionDialog.h"
#include "scanjob/ExifPlugin.h"

#include <memory>
#include <new>

namespace vlexif {

// Confirmed or cancelled, the summary is rewritten from what is stored now.
PluginStatus ExifPlugin::Configure()
{
    if (!ConverterAvailable()) {
        return StatusNoConverter;
    }
    BindSettings();
    std::unique_ptr<CompressionDialog> dialog(new (std::nothrow) CompressionDialog(hostParams->owner, settings));
    if (!dialog) {
        return StatusNoMemory;
    }
    dialog->Run();
    dialog.reset();
    static_cast<void>(settings.ReadCompressRate(compressRate)); // none of the user's: the rate stays
    WriteSummary();
    return StatusOk;
}

// However the box closed, and also when it could not be shown.
PluginStatus ExifPlugin::About()
{
    if (!ConverterAvailable()) {
        return StatusNoConverter;
    }
    std::unique_ptr<AboutDialog> dialog(new (std::nothrow) AboutDialog(hostParams->owner, settings, "ABOUT"));
    if (!dialog) {
        return StatusNoMemory;
    }
    dialog->Run();
    return StatusOk;
}

} // namespace vlexif
