// The interface the entry calls, with the state every spool writer needs:
// this call's host records, the settings store, the spool file and its path,
// the format code, the block counter and the work block.
#pragma once

#include "interface/HostInterface.h"
#include "pixels/HostBlock.h"
#include "settings/JobValues.h"
#include "settings/SettingsStore.h"
#include "spool/GlobalBlock.h"
#include "spool/SpoolFile.h"

namespace vlexif {

class ScanPlugin {
public:
    ScanPlugin();
    ScanPlugin(const ScanPlugin&) = delete;
    ScanPlugin& operator=(const ScanPlugin&) = delete;
    virtual ~ScanPlugin();

    virtual PluginStatus Describe() = 0;
    virtual PluginStatus Configure() = 0;
    virtual PluginStatus About() = 0;
    virtual PluginStatus BeginImage() = 0;
    virtual PluginStatus SetPalette() = 0;
    virtual PluginStatus WriteBlock() = 0;
    // Ends the job, whatever state it is in: the spool file and the job's
    // values go.
    virtual PluginStatus Abort() = 0;

    // Ties the object to this call's records; valid only during the call.
    void BindHost(HostParams* params);
    bool HasJobRecord() const { return jobRecord != nullptr; }
    bool HasImageRecord() const { return imageRecord != nullptr; }

    PluginStatus ClassifyFormat();

    uint32_t FormatCode() const { return formatCode; }
    const char* TempPath() const { return tempPath; }
    bool HoldsWorkBlock() const { return workBuffer.Valid(); }
    // The text to show for this call's failure instead of its status's
    // own, or 0.
    UINT FailureMessage() const { return failureMessage; }

protected:
    // The job's values live under the host's key plus "EXIF": bound, and
    // read once for the whole call into `job`.
    void BindSettings();
    // Reloads the format code the job's format check stored; none stored
    // leaves it, a foreign one ends the job.
    PluginStatus ReloadFormatCode();
    // Reloads "TempFile": found only when it names this plug-in's own spool
    // file. Absent or foreign, the path this object last held stays.
    ValueRead LoadTempPath();
    // "TempFile" as stored, whatever file it names.
    ValueRead ReloadTempPath();
    // A job value that is there but not as this plug-in stored it: the job
    // cannot go on from it, so it ends as an abort ends it, and the user is
    // told that another program changed it.
    PluginStatus EndChangedJob();
    // Reloads "TempFile" and opens it for writing, once per block: the file
    // proves itself through the very handle that will write it, before any
    // byte is written. `fileSize` is then the proven size. On failure nothing
    // is held; a file of ours that will not open is deleted, and a foreign
    // "TempFile" ends the job.
    PluginStatus OpenSpoolFile(uint64_t& fileSize);
    // Clean-up after a failure: its own results never replace the failure's.
    void CloseAndDelete();
    // Deletes the spool file at `path`; one another program still holds is
    // remembered and removed by RemoveLeftovers at a later call.
    void DeleteSpool(const char* path);
    void RemoveLeftovers();
    // The end of a write that came to `status`: the work block freed, the
    // file closed. A close that fails counts as a failed write, for the file
    // may not hold what was written; on any failure the file is deleted.
    PluginStatus CloseWritten(PluginStatus status);

    const ImageDescription& Description() const { return DescriptionView(imageRecord); }
    HostBlock CurrentBlock() const;

    SpoolFile spoolFile;
    SettingsStore settings;
    // The job's values as this call found them.
    JobValues job;
    HostParams* hostParams = nullptr;
    JobRecord* jobRecord = nullptr;
    ImageRecord* imageRecord = nullptr;
    char tempPath[MAX_PATH] = {};
    uint32_t blockCount = 0;
    uint32_t formatCode = 0;
    GlobalBlock workBuffer;
    // What this host call may still wait for files another program holds.
    HeldFileWaits heldFileWaits;
    UINT failureMessage = 0;
};

} // namespace vlexif
