// vlscan: the reference host. Loads VLEXIF.dll from its own folder and runs
// its commands the way the scanning host does; see UsageText for the commands.
#include "host/CommandLine.h"
#include "host/checks/FileIdentity.h"
#include "host/checks/FolderProbe.h"
#include "host/checks/JobSpace.h"
#include "host/checks/OutputCheck.h"
#include "host/checks/PathRules.h"
#include "host/checks/RoomCheck.h"
#include "host/console/AnsiText.h"
#include "host/console/ConsoleInterrupt.h"
#include "host/console/ConsoleText.h"
#include "host/console/Progress.h"
#include "host/console/WideFile.h"
#include "host/console/WidePath.h"
#include "host/job/Clock.h"
#include "host/job/ConverterReport.h"
#include "host/job/HostRecords.h"
#include "host/job/HostRegistry.h"
#include "host/job/JobDriver.h"
#include "host/job/JobLock.h"
#include "host/job/KernelReport.h"
#include "host/job/PluginLibrary.h"
#include "host/job/StatusNames.h"
#include "host/picture/HostPage.h"
#include "host/readers/ImageLoader.h"
#include "interface/VkExf.h"

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

static_assert(ColourModeNames[0].value == VkExfColourAuto && ColourModeNames[1].value == VkExfColourExact &&
                  ColourModeNames[2].value == VkExfColourAlways,
              "vlscan stores the converter's colour modes");

bool StderrIsConsole()
{
    return GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR;
}

// One line on stderr, paths shown whatever their characters.
void Say(const std::string& text)
{
    WriteText(stderr, "vlscan: " + text + "\n");
}

// What the output file looks like: whether it is there, its size and when it
// was last written.
struct OutputStamp {
    bool exists = false;
    uint64_t bytes = 0;
    FILETIME written = {};
};

OutputStamp StampOf(const std::string& path)
{
    OutputStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(OpenablePath(path).c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.bytes = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        stamp.written = data.ftLastWriteTime;
    }
    return stamp;
}

// A job reported done must have left a new, non-empty file: a plug-in or
// converter that claims success without writing would otherwise look like a
// finished scan, or leave the last scan's JPEG standing as this one's.
bool OutputWritten(const OutputStamp& before, const OutputStamp& after)
{
    if (!after.exists || after.bytes == 0) {
        return false;
    }
    return !before.exists || CompareFileTime(&before.written, &after.written) != 0 || before.bytes != after.bytes;
}

[[nodiscard]] bool LoadPlugin(PluginLibrary& plugin)
{
    std::string error;
    if (!plugin.Load(error)) {
        Say(error);
        return false;
    }
    return true;
}

// The status stays as the detail a bug report needs.
std::string FailureDetail(vlexif::PluginCommand command, vlexif::PluginStatus status)
{
    return " (" + CommandName(command) + ": " + StatusText(status) + ")";
}

void ReportFailure(vlexif::PluginCommand command, vlexif::PluginStatus status)
{
    Say(FailureText(command, status) + FailureDetail(command, status));
}

// Checks made before anything is read or written: the output is not the
// input (nor the reference picture one of them, whether or not it exists
// yet), and both can be written.
[[nodiscard]] bool CheckFiles(const ScanOptions& options, OutputTarget& target)
{
    if (SameFile(options.input, options.output)) {
        Say("the output " + options.output + " is the input file; the JPEG would replace the picture");
        return false;
    }
    const std::string& reference = options.referencePath;
    if (!reference.empty() && (SameFile(reference, options.input) || SameDestination(reference, options.output))) {
        Say("the reference picture " + reference + " would replace the input or the output file");
        return false;
    }
    const std::string breach = reference.empty() ? std::string() : PathRuleBreach(reference);
    if (!breach.empty()) {
        Say("cannot write " + reference + ": " + breach);
        return false;
    }
    const std::string refusal = CheckOutput(options.output, target);
    if (!refusal.empty()) {
        Say("cannot write " + options.output + ": " + refusal);
        return false;
    }
    return true;
}

// Why an input file did not open, in words: the C library's "No such file
// or directory" does not say which, and it calls a folder "Permission denied".
std::string InputRefusal(const std::string& input, int error)
{
    const DWORD attributes = GetFileAttributesW(OpenablePath(input).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) {
            return "the file does not exist";
        }
        return code == ERROR_PATH_NOT_FOUND ? "its directory does not exist" : ErrorText(code);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return "it is a directory";
    }
    return error == EACCES ? "access denied, or another program holds the file" : std::strerror(error);
}

// The converter names the output as the job record holds it, which may be in
// its folders' short names: the user reads it as given.
std::string AsGiven(std::string reason, const OutputTarget& target, const std::string& output)
{
    const std::string recorded = Utf8FromAnsi(target.jobPath);
    for (size_t at = reason.find(recorded); !recorded.empty() && at != std::string::npos;
         at = reason.find(recorded, at + output.size())) {
        reason.replace(at, recorded.size(), output);
    }
    return reason;
}

// The row kernels' level and variants, told as what they are (KernelReport.h).
void PrintKernels()
{
    std::printf("kernels:  %s\n", SimdLevelLine().c_str());
    std::printf("variants: %s\n", KernelVariantsLine().c_str());
    std::printf("          (%s)\n", KernelVariantsCaveat);
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
    PrintKernels();
}

// Loads and converts the input: the page as the host will send it. Once
// its size is known, the disks are checked for the room its job takes. The
// picture is dropped once the page holds it; the reference is rendered a
// line at a time from the page. An interrupt ends the read with
// ReadInterrupted.
[[nodiscard]] bool PreparePage(const ScanOptions& options, const OutputTarget& target, HostPage& page)
{
    const std::string& input = options.input;
    HostFormat format = HostFormat::Rgb24;
    try {
        FilePtr file = OpenWide(options.input, L"rb");
        if (!file) {
            Say("cannot read " + input + ": " + InputRefusal(input, errno));
            return false;
        }
        const std::unique_ptr<SourceImage> image = LoadSourceImage(std::move(file), InterruptRequested);
        std::string refusal = PageSizeRefusal(image->Width(), image->Height());
        if (refusal.empty()) {
            refusal = CheckRoom(options.output, target, image->Width(), image->Height());
        }
        if (!refusal.empty()) {
            Say(refusal);
            return false;
        }
        format = options.format.value_or(image->IsGrey() ? HostFormat::Gray8 : HostFormat::Rgb24);
        page = BuildHostPage(*image, format, options.dither, InterruptRequested);
    } catch (const ImageLoadError& error) {
        Say("cannot read " + input + ": " + error.what());
        return false;
    } catch (const std::bad_alloc&) {
        Say("not enough memory to read " + input + " as " + InfoOf(format).name);
        return false;
    }
    if (!options.referencePath.empty()) {
        FilePtr reference = OpenWide(options.referencePath, L"wb");
        if (!reference || !WriteReference(reference.get(), page) || !CloseWritten(std::move(reference))) {
            Say("cannot write " + options.referencePath);
            return false;
        }
    }
    return true;
}

int Scan(const ScanOptions& options)
{
    const double start = NowSeconds();
    const InterruptScope interrupts;
    OutputTarget target;
    if (!CheckFiles(options, target)) {
        return ExitFailed;
    }
    // The job record's texts are ANSI, as its path is.
    std::string make;
    std::string model;
    if (!AnsiFromWide(WidePath(options.make), make) || !AnsiFromWide(WidePath(options.model), model)) {
        Say("the make or model has characters that the ANSI code page cannot hold");
        return ExitUsage;
    }
    HostRecords records;
    if (!records.SetDestination(target.jobPath, make, model)) {
        Say("the make or model is too long for the job record");
        return ExitUsage;
    }
    HostPage page;
    try {
        if (!PreparePage(options, target, page)) {
            return ExitFailed;
        }
    } catch (const ReadInterrupted&) {
        Say("interrupted before the job began");
        return ExitInterrupted;
    }
    const double prepared = NowSeconds();
    if (InterruptRequested()) {
        Say("interrupted before the job began");
        return ExitInterrupted;
    }
    PluginLibrary plugin;
    if (!LoadPlugin(plugin)) {
        return ExitFailed;
    }
    const ConverterReport converter;
    const JobLock lock(InterruptEvent());
    if (lock.Interrupted()) {
        Say("interrupted while waiting for another scan; the job never began");
        return ExitInterrupted;
    }
    if (options.rate && !StoreCompressRate(*options.rate)) {
        Say("cannot store the compression rate in the registry");
        return ExitFailed;
    }
    if (options.colourMode && !StoreColourMode(*options.colourMode)) {
        Say("cannot store the colour mode in the registry");
        return ExitFailed;
    }
    const OutputStamp before = StampOf(target.shownPath);
    const bool showProgress = !options.quiet && StderrIsConsole();
    const std::vector<BlockSpan> blocks = PlanBlocks(page.height, options.blockLines, options.order, options.seed);
    const JobOutcome outcome = RunScanJob(plugin, records, page, blocks, options.dpi,
                                          [showProgress, shownPercent = -1](uint32_t done, uint32_t total) mutable {
                                              // Console output under Wine is slow: redraw only when the percentage
                                              // moves.
                                              const int percent = static_cast<int>(uint64_t{done} * 100 / total);
                                              if (showProgress && percent != shownPercent) {
                                                  shownPercent = percent;
                                                  std::fprintf(stderr, "\r%s%s", ProgressBar(done, total, 40).c_str(),
                                                               done == total ? "\n" : "");
                                              }
                                          });
    // A message never continues an unfinished progress bar.
    if (showProgress && outcome.blocksSent > 0 && outcome.blocksSent < blocks.size()) {
        std::fputc('\n', stderr);
    }
    if (outcome.interrupted) {
        Say("interrupted; the job was aborted");
        return ExitInterrupted;
    }
    if (outcome.failedCommand == vlexif::CmdFinish && outcome.status == vlexif::StatusCreateFailed) {
        const std::string reason = converter.LastError();
        if (converter.LastStatus() == VkExfSavedBeside) {
            Say(AsGiven(reason, target, options.output));
            return ExitSavedBeside;
        }
        Say((reason.empty() ? "cannot write " + options.output + ": the converter failed"
                            : AsGiven(reason, target, options.output)) +
            FailureDetail(outcome.failedCommand, outcome.status));
        return ExitFailed;
    }
    if (outcome.status != vlexif::StatusOk) {
        ReportFailure(outcome.failedCommand, outcome.status);
        return ExitFailed;
    }
    const OutputStamp after = StampOf(target.shownPath);
    if (!OutputWritten(before, after)) {
        Say("the job reported success, but nothing was written to " + options.output);
        return ExitFailed;
    }
    const ScanSummary summary{page.width,         page.height,          InfoOf(page.format).name,
                              outcome.blocksSent, NowSeconds() - start, after.bytes};
    WriteText(stdout, SummaryLine(summary) + " -> " + target.shownPath + "\n");
    if (options.stats) {
        PrintStats(plugin, prepared - start);
    }
    if (outcome.interruptedInFinish) {
        Say("interrupted while the converter wrote the JPEG: the page had already been handed to it, and " +
            options.output + " was written in full");
        return ExitInterruptedLate;
    }
    return ExitDone;
}

// A text field of the host's records, as UTF-8: the plug-in need not end it.
template <size_t Size>
std::string PluginText(const char (&field)[Size])
{
    return Utf8FromAnsi(std::string(field, strnlen(field, Size)));
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
    const uint32_t rate = StoredCompressRate().value_or(DefaultCompressRate);
    // The plug-in's texts are in the user's language and the ANSI code page;
    // the labels are the developer tool's own.
    WriteText(stdout,
              "plug-in:  " + PluginText(params.displayText2) + "\n" + "writes:   " + PluginText(params.displayText1) +
                  " (" + PluginText(job.shortText) + ")\n" + "settings: " + PluginText(params.summaryText) +
                  " (JPEG quality " + std::to_string(QualityOf(rate)) + ")\n");
    // The flags mean something to the scanning host alone: its authors look them up by offset.
    std::printf("flags:    %u at HostParams 0x080, %u and %u at JobRecord 0x110 and 0x111 (for host authors)\n",
                params.describeFlag, job.firstJobFlag, job.secondJobFlag);
    PrintKernels();
    return ExitDone;
}

// Whether the plug-in's dialogs can open: no window can be made without a
// display (under Wine, without an X server), and the plug-in would return
// at once, as if the user had closed its dialog.
bool DisplayAvailable()
{
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!window) {
        return false;
    }
    DestroyWindow(window);
    return true;
}

int RunDialogCommand(vlexif::PluginCommand command, const char* name)
{
    if (!DisplayAvailable()) {
        Say(std::string(name) + " shows a dialog, and there is no display to show it on (under Wine, DISPLAY " +
            "must name a running X server)");
        return ExitFailed;
    }
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
    return ExitDone;
}

} // namespace

int main()
{
    const ParseResult parsed = ParseCommandLine(ProgramArguments());
    if (!parsed.command) {
        WriteText(stderr, (parsed.error.empty() ? std::string() : "vlscan: " + parsed.error + "\n\n") + UsageText());
        return ExitUsage;
    }
    switch (parsed.command->kind) {
    case CommandKind::Scan:
        return Scan(parsed.command->scan);
    case CommandKind::Describe:
        return Describe();
    case CommandKind::Configure:
        return RunDialogCommand(vlexif::CmdConfigure, "configure");
    case CommandKind::About:
        return RunDialogCommand(vlexif::CmdAbout, "about");
    case CommandKind::Version:
        std::printf("%s", VersionText().c_str());
        return ExitDone;
    case CommandKind::ScanHelp:
        std::printf("usage: %s\n%s", ScanUsageText().c_str(), ExitStatusText().c_str());
        return ExitDone;
    case CommandKind::Help:
        break;
    }
    std::printf("%s", UsageText().c_str());
    return ExitDone;
}
