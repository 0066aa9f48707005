// The two commands that show dialogs.
#include "exif/ExifPlugin.h"

namespace vlexif {

// The dialogs are not built yet: both commands only prove the converter.
PluginStatus ExifPlugin::Configure()
{
    return ConverterAvailable() ? StatusOk : StatusNoConverter;
}

PluginStatus ExifPlugin::About()
{
    return ConverterAvailable() ? StatusOk : StatusNoConverter;
}

} // namespace vlexif
