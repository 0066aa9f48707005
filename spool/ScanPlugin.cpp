#include "spool/ScanPlugin.h"

#include "pixels/PixelFormat.h"
#include "spool/SpoolPath.h"

namespace vlexif {

ScanPlugin::ScanPlugin() = default;

ScanPlugin::~ScanPlugin()
{
    hostParams = nullptr;
    jobRecord = nullptr;
    imageRecord = nullptr;
}

void ScanPlugin::BindHost(HostParams* params)
{
    hostParams = params;
    jobRecord = params->job;
    imageRecord = jobRecord ? jobRecord->image : nullptr;
}

PluginStatus ScanPlugin::ClassifyFormat()
{
    const ImageDescription& image = Description();
    formatCode = ClassifyPixels(image.bitsPerPixel, image.samplesPerPixel, image.colourType, image.mustBeZero);
    return formatCode == FormatNone ? StatusBadFormat : StatusOk;
}

void ScanPlugin::BindSettings()
{
    settings.Bind(hostParams->registry, "EXIF");
}

void ScanPlugin::ReloadFormatCode()
{
    static_cast<void>(settings.ReadDword("ImageFormat", formatCode)); // none stored: this object's code stays
}

bool ScanPlugin::LoadTempPath()
{
    return settings.ReadString("TempFile", tempPath) && IsOwnSpoolPath(tempPath);
}

PluginStatus ScanPlugin::OpenSpoolFile(uint32_t& fileSize)
{
    // The name gates every open: no other path is opened, even to be read.
    if (!settings.ReadString("TempFile", tempPath) || !IsSpoolNamedPath(tempPath)) {
        return StatusOpenFailed;
    }
    if (spoolFile.Open(tempPath) != StatusOk) {
        // A spool file the job can no longer write is lost to it; deleted
        // only once it has proven itself to a reader.
        if (IsOwnSpoolPath(tempPath)) {
            static_cast<void>(SpoolFile::Delete(tempPath)); // the failed open is what is reported
        }
        return StatusOpenFailed;
    }
    if (!HoldsSpoolHead(spoolFile.Handle(), fileSize)) {
        static_cast<void>(spoolFile.Close()); // nothing was written through it
        return StatusOpenFailed;
    }
    return StatusOk;
}

void ScanPlugin::CloseAndDelete()
{
    static_cast<void>(spoolFile.Close());           // the file is going anyway
    static_cast<void>(SpoolFile::Delete(tempPath)); // the earlier failure is what is reported
}

PluginStatus ScanPlugin::CloseWritten(PluginStatus status)
{
    workBuffer.Reset();
    if (status == StatusOk) {
        status = spoolFile.Close();
    }
    if (status != StatusOk) {
        CloseAndDelete();
    }
    return status;
}

HostBlock ScanPlugin::CurrentBlock() const
{
    const BlockView& view = BlockViewOf(imageRecord);
    return HostBlock{view.data, view.bytesPerLine, view.width, view.lines, view.linesBefore};
}

} // namespace vlexif
