#include "host/job/JobDriver.h"

#include "host/console/ConsoleInterrupt.h"

namespace vlscan {

namespace {

using namespace vlexif;

class JobSteps {
public:
    JobSteps(PluginLibrary& plugin, HostRecords& records) : plugin(plugin), records(records) {}

    // False once a step failed or an interrupt arrived; later steps are skipped.
    [[nodiscard]] bool Step(PluginCommand command)
    {
        if (outcome.status != StatusOk || outcome.interrupted) {
            return false;
        }
        if (InterruptRequested()) {
            outcome.interrupted = true;
            return false;
        }
        const PluginStatus status = plugin.Call(command, records.Params());
        if (status != StatusOk) {
            outcome.status = status;
            outcome.failedCommand = command;
        }
        return status == StatusOk;
    }

    JobOutcome Close()
    {
        if (outcome.status != StatusOk || outcome.interrupted) {
            static_cast<void>(plugin.Call(CmdAbort, records.Params())); // the first failure is the outcome
        }
        return outcome;
    }

    JobOutcome outcome;

private:
    PluginLibrary& plugin;
    HostRecords& records;
};

} // namespace

JobOutcome RunScanJob(PluginLibrary& plugin, HostRecords& records, const HostPage& page,
                      const std::vector<BlockSpan>& blocks, uint32_t dpi, const BlockProgress& progress)
{
    JobSteps steps(plugin, records);
    records.DescribeImage(InfoOf(page.format), page.width, page.height, dpi);
    if (steps.Step(CmdDescribe) && steps.Step(CmdCheckFormat) && steps.Step(CmdBeginImage)) {
        if (!page.palette.empty()) {
            records.OfferPalette(page.palette);
            static_cast<void>(steps.Step(CmdSetPalette)); // a failure stays in the outcome
        }
        const uint32_t total = static_cast<uint32_t>(blocks.size());
        for (const BlockSpan& span : blocks) {
            records.OfferBlock(page, span);
            if (!steps.Step(CmdWriteBlock)) {
                break;
            }
            ++steps.outcome.blocksSent;
            progress(steps.outcome.blocksSent, total);
        }
        if (steps.Step(CmdFinish)) {
            steps.outcome.interruptedInFinish = InterruptRequested();
        }
    }
    return steps.Close();
}

} // namespace vlscan
