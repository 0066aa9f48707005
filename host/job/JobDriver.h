// One scan job through the plug-in, in the host's order: describe, check
// format, begin image, palette, the blocks, finish; abort on any failure or
// interrupt, so the plug-in leaves nothing behind.
#pragma once

#include "host/job/BlockPlan.h"
#include "host/job/HostRecords.h"
#include "host/job/PluginLibrary.h"
#include "host/picture/HostPage.h"

#include <functional>
#include <vector>

namespace vlscan {

struct [[nodiscard]] JobOutcome {
    vlexif::PluginStatus status = vlexif::StatusOk;
    vlexif::PluginCommand failedCommand = vlexif::CmdDescribe; // meaningful when status is not Ok
    bool interrupted = false;
    // The interrupt came while the converter wrote, too late to stop it.
    bool interruptedInFinish = false;
    uint32_t blocksSent = 0;
};

using BlockProgress = std::function<void(uint32_t done, uint32_t total)>;

// The records must hold the destination already. An interrupt noted while
// the converter runs cannot stop it: the finish call is the job's last step,
// and the outcome says the interrupt came during it.
JobOutcome RunScanJob(PluginLibrary& plugin, HostRecords& records, const HostPage& page,
                      const std::vector<BlockSpan>& blocks, uint32_t dpi, const BlockProgress& progress);

} // namespace vlscan
