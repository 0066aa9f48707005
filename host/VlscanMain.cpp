// vlscan: the reference host. Loads VLEXIF.dll from its own folder and runs
// its commands the way the scanning host does; see UsageText for the commands.
#include "host/Clock.h"
#include "host/CommandLine.h"
#include "host/ConsoleInterrupt.h"
#include "host/HostPage.h"
#include "host/HostRecords.h"
#include "host/HostRegistry.h"
#include "host/ImageLoader.h"
#include "host/JobLock.h"
#include "host/PluginLibrary.h"
#include "host/Progress.h"
#include "host/ScanJob.h"
#include "host/StatusNames.h"
#include "host/WideFile.h"

#include <windows.h>
#include <psapi.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace vlscan;

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130;

bool StderrIsConsole()
{
    return GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR;
}

uint64_t FileBytes(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool FullPath(const std::string& path, std::string& full)
{
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    full = buffer;
    return true;
}

bool LoadPlugin(PluginLibrary& plugin)
{
    std::string error;
    if (!plugin.Load(error)) {
        std::fprintf(stderr, "vlscan: %s\n", error.c_str());
        return false;
    }
    return true;
}

void ReportFailure(vlexif::PluginCommand command, vlexif::PluginStatus status)
{
    std::fprintf(stderr, "vlscan: %s failed: %s\n", CommandName(command).c_str(), StatusText(status).c_str());
}

void PrintStats(const PluginLibrary& plugin, double preparing)
{
    const double converter = plugin.SecondsIn(vlexif::CmdFinish);
    const double inPlugin = plugin.SecondsInAll() - converter;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("host %.3f s (read and convert), plug-in %.3f s (before finish), converter %.3f s (finish)\n",
                preparing, inPlugin, converter);
    std::printf("peak working set %llu KiB, peak private %llu KiB\n",
                static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long long>(memory.PeakPagefileUsage / 1024));
}

// Loads and converts the input: the page as the host will send it. The
// picture is dropped once the page holds it; the reference is rendered a
// line at a time from the page.
bool PreparePage(const ScanOptions& options, HostPage& page)
{
    const char* input = options.input.c_str();
    HostFormat format = HostFormat::Rgb24;
    try {
        FilePtr file = OpenWide(options.input, L"rb");
        if (!file) {
            std::fprintf(stderr, "vlscan: cannot read %s: %s\n", input, std::strerror(errno));
            return false;
        }
        const std::unique_ptr<SourceImage> image = LoadSourceImage(std::move(file));
        format = options.format.value_or(image->IsGrey() ? HostFormat::Gray8 : HostFormat::Rgb24);
        page = BuildHostPage(*image, format, options.dither);
    } catch (const ImageLoadError& error) {
        std::fprintf(stderr, "vlscan: cannot read %s: %s\n", input, error.what());
        return false;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "vlscan: not enough memory to read %s as %s\n", input, InfoOf(format).name);
        return false;
    }
    if (!options.referencePath.empty()) {
        FilePtr reference = OpenWide(options.referencePath, L"wb");
        if (!reference || !WriteReference(reference.get(), page) || !CloseWritten(std::move(reference))) {
            std::fprintf(stderr, "vlscan: cannot write %s\n", options.referencePath.c_str());
            return false;
        }
    }
    return true;
}

int Scan(const ScanOptions& options)
{
    const double start = NowSeconds();
    CatchInterrupts();
    std::string output;
    if (!FullPath(options.output, output)) {
        std::fprintf(stderr, "vlscan: output path too long: %s\n", options.output.c_str());
        return ExitUsage;
    }
    HostRecords records;
    if (!records.SetDestination(output, options.make, options.model)) {
        std::fprintf(stderr, "vlscan: output path, make or model too long for the job record\n");
        return ExitUsage;
    }
    HostPage page;
    if (!PreparePage(options, page)) {
        return ExitFailed;
    }
    const double prepared = NowSeconds();
    if (InterruptRequested()) {
        return ExitInterrupted;
    }
    PluginLibrary plugin;
    if (!LoadPlugin(plugin)) {
        return ExitFailed;
    }
    const JobLock lock;
    if (options.rate && !StoreCompressRate(*options.rate)) {
        std::fprintf(stderr, "vlscan: cannot store the compression rate\n");
        return ExitFailed;
    }
    const bool showProgress = !options.quiet && StderrIsConsole();
    const std::vector<BlockSpan> blocks = PlanBlocks(page.height, options.blockLines, options.order, options.seed);
    const JobOutcome outcome = RunScanJob(
        plugin, records, page, blocks, options.dpi,
        [showProgress, shownPercent = -1](uint32_t done, uint32_t total) mutable {
            // Console output under Wine is slow: redraw only when the percentage moves.
            const int percent = static_cast<int>(uint64_t{done} * 100 / total);
            if (showProgress && percent != shownPercent) {
                shownPercent = percent;
                std::fprintf(stderr, "\r%s%s", ProgressBar(done, total, 40).c_str(), done == total ? "\n" : "");
            }
        });
    // A message never continues an unfinished progress bar.
    if (showProgress && outcome.blocksSent > 0 && outcome.blocksSent < blocks.size()) {
        std::fputc('\n', stderr);
    }
    if (outcome.interrupted) {
        std::fprintf(stderr, "vlscan: interrupted; the job was aborted\n");
        return ExitInterrupted;
    }
    if (outcome.status != vlexif::StatusOk) {
        ReportFailure(outcome.failedCommand, outcome.status);
        return ExitFailed;
    }
    const ScanSummary summary{page.width, page.height, InfoOf(page.format).name, outcome.blocksSent, NowSeconds() - start,
                              FileBytes(output)};
    std::printf("%s -> %s\n", SummaryLine(summary).c_str(), output.c_str());
    if (options.stats) {
        PrintStats(plugin, prepared - start);
    }
    return 0;
}

int Describe()
{
    PluginLibrary plugin;
    if (!LoadPlugin(plugin)) {
        return ExitFailed;
    }
    HostRecords records;
    const vlexif::PluginStatus status = plugin.Call(vlexif::CmdDescribe, records.Params());
    if (status != vlexif::StatusOk) {
        ReportFailure(vlexif::CmdDescribe, status);
        return ExitFailed;
    }
    const vlexif::HostParams& params = records.Params();
    const vlexif::JobRecord& job = records.Job();
    std::printf("display text 1: %.*s\n", static_cast<int>(sizeof params.displayText1), params.displayText1);
    std::printf("display text 2: %.*s\n", static_cast<int>(sizeof params.displayText2), params.displayText2);
    std::printf("summary:        %.*s\n", static_cast<int>(sizeof params.summaryText), params.summaryText);
    std::printf("short text:     %.*s\n", static_cast<int>(sizeof job.shortText), job.shortText);
    std::printf("flags:          describe %u, job %u %u\n", params.describeFlag, job.firstJobFlag, job.secondJobFlag);
    return 0;
}

int RunDialogCommand(vlexif::PluginCommand command)
{
    PluginLibrary plugin;
    if (!LoadPlugin(plugin)) {
        return ExitFailed;
    }
    HostRecords records;
    const vlexif::PluginStatus status = plugin.Call(command, records.Params());
    if (status != vlexif::StatusOk) {
        ReportFailure(command, status);
        return ExitFailed;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.command) {
        std::fprintf(stderr, "vlscan: %s\n\n%s", parsed.error.c_str(), UsageText().c_str());
        return ExitUsage;
    }
    switch (parsed.command->kind) {
    case CommandKind::Scan:
        return Scan(parsed.command->scan);
    case CommandKind::Describe:
        return Describe();
    case CommandKind::Configure:
        return RunDialogCommand(vlexif::CmdConfigure);
    case CommandKind::About:
        return RunDialogCommand(vlexif::CmdAbout);
    case CommandKind::Help:
        break;
    }
    std::printf("%s", UsageText().c_str());
    return 0;
}
