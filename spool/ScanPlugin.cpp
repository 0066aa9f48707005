#include "spool/ScanPlugin.h"

#include "interface/ResourceIds.h"
#include "pixels/PixelFormat.h"
#include "spool/LeftoverSpools.h"
#include "spool/SpoolPath.h"

#include <cstring>

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
    heldFileWaits.Restart();
    failureMessage = 0;
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
    settings.ReadJob(job);
}

PluginStatus ScanPlugin::ReloadFormatCode()
{
    if (job.formatRead.Foreign()) {
        return EndChangedJob();
    }
    if (job.formatRead) {
        formatCode = job.format;
    }
    return StatusOk;
}

ValueRead ScanPlugin::ReloadTempPath()
{
    if (job.tempPathRead) {
        std::memcpy(tempPath, job.tempPath, sizeof tempPath);
    }
    return job.tempPathRead;
}

ValueRead ScanPlugin::LoadTempPath()
{
    const ValueRead path = ReloadTempPath();
    return !path || IsOwnSpoolPath(tempPath, heldFileWaits) ? path : ValueRead::State::Absent;
}

PluginStatus ScanPlugin::EndChangedJob()
{
    static_cast<void>(Abort()); // an abort always ends the job
    failureMessage = IDS_JOB_CHANGED;
    return StatusOpenFailed;
}

PluginStatus ScanPlugin::OpenSpoolFile(uint64_t& fileSize)
{
    const ValueRead path = ReloadTempPath();
    if (path.Foreign()) {
        return EndChangedJob();
    }
    // The name gates every open: no other path is opened, even to be read.
    if (!path || !IsSpoolNamedPath(tempPath)) {
        return StatusOpenFailed;
    }
    if (spoolFile.Open(tempPath, heldFileWaits) != StatusOk) {
        // A spool file the job can no longer write is lost to it; deleted
        // only once it has proven itself to a reader.
        if (IsOwnSpoolPath(tempPath, heldFileWaits)) {
            DeleteSpool(tempPath);
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
    static_cast<void>(spoolFile.Close()); // the file is going anyway
    DeleteSpool(tempPath);
}

void ScanPlugin::DeleteSpool(const char* path)
{
    // The failure or the end that led here is what is reported.
    static_cast<void>(LeftoverSpools(settings).Delete(path, heldFileWaits));
}

void ScanPlugin::RemoveLeftovers()
{
    LeftoverSpools(settings).RemoveRemembered();
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
