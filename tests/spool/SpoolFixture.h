// A plug-in object of the spool writer family driven directly, with its own
// registry key, temporary folder and host records.
#pragma once

#include "spool/BmpSpoolPlugin.h"
#include "tests/support/FailureTable.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace vlexif::test {

// One row of a failure table: what fails, how the table of calls is made to
// fail it, and the status the operation must then return.
using ArrangedFailure = FailureRow<PluginStatus>;

// The native-depth writer as a concrete plug-in: its operations expect the
// store bound by whoever runs them, as the EXIF plug-in does.
class BoundSpoolPlugin : public BmpSpoolPlugin {
public:
    PluginStatus BeginImage() override
    {
        BindSettings();
        return BmpSpoolPlugin::BeginImage();
    }
    PluginStatus SetPalette() override
    {
        BindSettings();
        return BmpSpoolPlugin::SetPalette();
    }
    PluginStatus WriteBlock() override
    {
        BindSettings();
        return BmpSpoolPlugin::WriteBlock();
    }
    PluginStatus CheckFormat() override
    {
        BindSettings();
        return BmpSpoolPlugin::CheckFormat();
    }
    PluginStatus Abort() override
    {
        BindSettings();
        return BmpSpoolPlugin::Abort();
    }
};

template <class Plugin>
class SpoolFixture : public testing::Test {
protected:
    SpoolFixture()
    {
        records.SetRegistry(key);
        plugin.BindHost(&records.params);
    }

    // The one spool file in the temporary folder, or nothing.
    std::vector<uint8_t> SpoolBytes() const
    {
        const std::vector<std::string> files = temp.Files();
        return files.size() == 1 ? temp.Read(files[0]) : std::vector<uint8_t>{};
    }

    // Abort answers StatusOk on every path: only what it leaves is checked.
    void Abort() { static_cast<void>(plugin.Abort()); }

    TestRegistryKey key;
    TestTempDir temp;
    HostRecords records;
    Plugin plugin;
};

} // namespace vlexif::test
