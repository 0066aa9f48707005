// The chaos host: thousands of random command sequences against the staged
// VLEXIF.dll, in any order, repeated or skipped, with random records, forged
// registry values and the module unloaded at random points. After every call
// it checks what must hold whatever the host does: a known status, a message
// box exactly for the statuses that have one, no job left behind by Finish or
// Abort, only the plug-in's own value names in its key, no handle kept, and
// nothing outside the temporary directory touched; and at every unload, that
// the load and its calls kept no handle of any type.
//
// chaos_host STAGE_FOLDER [--sequences N] [--seconds T] [--first K] [--seed S]
//            [--only K] [--verbose]
// Each sequence starts from a fresh module, records, key and temporary
// directory, so `--seed S --only K` replays sequence K of a run alone, and
// `--first K` runs sequences K.. of the same seed, so a long run can be split
// over several processes. With --seconds, sequences start until T seconds
// have passed (and no more than N, if given); the seed is printed first.
#include "tests/chaos/RandomHost.h"
#include "tests/chaos/Sandbox.h"
#include "tests/support/HandleCensus.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace vlexif::chaos {

namespace {

constexpr uint32_t AllowedStatuses[] = {0, 201, 202, 203, 205, 206, 207, 208, 209, 211, 0xFFFE, 0xFFFF};
const char* const JobValues[] = {"TempFile", "ImageFormat",   "LoopCount",    "Palette Num",
                                 "Palette",  "Owner Process", "Owner Started"};
const char* const CommandNames[] = {"Describe",   "Configure", "CheckFormat", "SetPalette", "BeginImage",
                                    "WriteBlock", "Finish",    "Abort",       "About"};

bool HasMessage(uint32_t status)
{
    return (status >= 201 && status <= 206) || status == 209 || status == 0xFFFF;
}

// Counts the plug-in's message boxes and closes them; answers its dialogs
// with OK, Cancel or the close box. Allocates nothing, so that the heap is
// the same before and after a call that shows one.
struct Windows {
    int messageBoxes = 0;
    std::mt19937* random = nullptr;
    HHOOK hook = nullptr;
} windows;

LRESULT CALLBACK CloseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        char caption[64] = {};
        GetWindowTextA(call->hwnd, caption, sizeof caption);
        if (std::strcmp(caption, "VLEXIF Plug-in") == 0) {
            ++windows.messageBoxes;
            EndDialog(call->hwnd, IDOK);
        } else {
            switch ((*windows.random)() % 3) {
            case 0:
                PostMessageA(call->hwnd, WM_COMMAND, IDOK, 0);
                break;
            case 1:
                PostMessageA(call->hwnd, WM_COMMAND, IDCANCEL, 0);
                break;
            default:
                PostMessageA(call->hwnd, WM_CLOSE, 0, 0);
                break;
            }
        }
    }
    return CallNextHookEx(windows.hook, code, wParam, lParam);
}

// The converter's argument must be the plug-in's own spool file.
bool InTempDir(const std::string& dir, const char* path)
{
    const size_t length = std::strlen(path);
    return length > dir.size() + 3 &&
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, static_cast<int>(dir.size()), dir.c_str(),
                       static_cast<int>(dir.size())) == CSTR_EQUAL &&
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path + dir.size(), 3, "~TF", 3) == CSTR_EQUAL &&
        std::strpbrk(path + dir.size(), "\\/:") == nullptr;
}

std::string CommandName(uint32_t command)
{
    const int16_t code = static_cast<int16_t>(command & 0xFFFF);
    char text[48];
    if (code >= 0 && code <= 8) {
        std::snprintf(text, sizeof text, command > 8 ? "%s (0x%X)" : "%s", CommandNames[code],
                      static_cast<unsigned>(command));
    } else {
        std::snprintf(text, sizeof text, "command 0x%X", static_cast<unsigned>(command));
    }
    return text;
}

// The steps of one sequence, printed as they happen when verbose.
class Log {
public:
    explicit Log(bool verbose) : verbose(verbose) {}
    void Add(const std::string& line)
    {
        lines.push_back(line);
        if (verbose) {
            std::printf("    %s\n", line.c_str());
            std::fflush(stdout);
        }
    }
    std::vector<std::string>::const_iterator begin() const { return lines.begin(); }
    std::vector<std::string>::const_iterator end() const { return lines.end(); }

private:
    bool verbose;
    std::vector<std::string> lines;
};

struct Options {
    std::string stage;
    uint32_t sequences = 300;
    // No limit but the count when 0.
    uint32_t seconds = 0;
    uint32_t first = 0;
    uint32_t seed = 0;
    bool verbose = false;
};

class Run {
public:
    explicit Run(const Options& options) : options(options), plugin(options.stage), recorder(options.stage) {}

    // Returns the number of sequences with a violation, plus one for each
    // kind of resource the calls or the module loads together kept.
    uint32_t Go()
    {
        windows.hook = SetWindowsHookExA(WH_CALLWNDPROCRET, CloseWindows, nullptr, GetCurrentThreadId());
        WarmUp();
        const DWORD tlsBefore = test::FirstFreeTlsIndex();
        handlesAtStart = test::HandleCensus::Take();
        uint32_t failed = 0;
        const ULONGLONG deadline = GetTickCount64() + options.seconds * 1000ull;
        for (uint32_t k = options.first; k - options.first < options.sequences; ++k) {
            if (options.seconds != 0 && k != options.first && GetTickCount64() >= deadline) {
                break;
            }
            // With the module unloaded at both ends, what a sequence kept
            // beyond its calls is what its module loads kept.
            const uint64_t before = test::HeapBytesInUse();
            failed += Sequence(k) ? 0 : 1;
            sequenceHeapGrowth += static_cast<int64_t>(test::HeapBytesInUse()) - static_cast<int64_t>(before);
        }
        handlesAtEnd = test::HandleCensus::Take();
        UnhookWindowsHookEx(windows.hook);
        tlsKept = static_cast<int64_t>(test::FirstFreeTlsIndex()) - tlsBefore;
        Summary();
        // Counted over calls that find the module loaded already, so that
        // what a load keeps for the module's lifetime is not counted. A leak
        // of a few bytes a call shows over thousands of calls.
        if (callHeapGrowth > (16 << 10)) {
            std::printf("VIOLATION: the calls kept %lld bytes of heap\n", static_cast<long long>(callHeapGrowth));
            ++failed;
        }
        // A host may load the module for every call, so its loads must keep
        // nothing either: not a TLS index, not a block of heap.
        if (const int64_t byLoads = sequenceHeapGrowth - callHeapGrowth; byLoads > (16 << 10)) {
            std::printf("VIOLATION: the module loads kept %lld bytes of heap\n", static_cast<long long>(byLoads));
            ++failed;
        }
        if (tlsKept != 0) {
            std::printf("VIOLATION: the module loads kept %lld TLS indexes\n", static_cast<long long>(tlsKept));
            ++failed;
        }
        return failed;
    }

private:
    bool Sequence(uint32_t k)
    {
        std::mt19937 random(options.seed ^ (k * 0x9E3779B9u));
        windows.random = &random;
        RegDeleteTreeA(HKEY_CURRENT_USER, key.ExifPath().c_str());
        sandbox.RemoveSpoolFiles();
        FreshRecords();
        std::vector<std::string> problems;
        Reload(problems);
        RandomHost host(random, *records, key, sandbox, windowed);
        if (options.verbose) {
            std::printf("sequence %u\n", k);
        }
        Log log(options.verbose);
        // Half the sequences follow a job's order, each step skipped,
        // repeated or preceded by something else now and then; the rest, and
        // whatever follows a job, are free.
        const std::vector<uint32_t> plan = random() % 2 ? JobPlan(random) : std::vector<uint32_t>{};
        size_t next = 0;
        const uint32_t steps = static_cast<uint32_t>(plan.size()) + (plan.empty() ? 1 + random() % 40 : random() % 6);
        for (uint32_t step = 0; step < steps && problems.empty(); ++step) {
            const uint32_t roll = random() % 100;
            if (next < plan.size() && roll >= 14) {
                // A repeated step stays next.
                const uint32_t command = plan[roll < 20 ? next : next++];
                const Call call = host.Prepare(command, true);
                CallAndCheck(call, log, problems);
                host.Restore(call);
            } else if (next < plan.size() && roll < 6) {
                log.Add("skip " + CommandName(plan[next++]));
            } else {
                FreeStep(random, host, log, problems);
            }
        }
        // A host ends a job with Abort; the module goes with the sequence.
        if (problems.empty()) {
            Call abort{CmdAbort, true, false, false, false, false, "end of sequence"};
            CallAndCheck(abort, log, problems);
        }
        Unload(problems);
        ++sequences;
        const bool passed = problems.empty();
        if (!passed) {
            std::printf("VIOLATION in sequence %u (replay: --seed %u --only %u)\n", k, options.seed, k);
            for (const std::string& line : log) {
                std::printf("    %s\n", line.c_str());
            }
            for (const std::string& problem : problems) {
                std::printf("  ! %s\n", problem.c_str());
            }
            std::fflush(stdout);
        }
        return passed;
    }

    void FreshRecords()
    {
        records = std::make_unique<test::HostRecords>();
        records->SetRegistry(key);
    }

    // The system sets up message boxes and dialogs on first use and keeps
    // that for good: it happens here, before anything is counted. Whether a
    // message box opens tells whether windows can open at all.
    void WarmUp()
    {
        std::mt19937 random(options.seed);
        windows.random = &random;
        FreshRecords();
        plugin.Reload();
        records->job.image = nullptr;
        windows.messageBoxes = 0;
        plugin.Call(CmdWriteBlock, records->params);
        windowed = windows.messageBoxes == 1;
        records->job.image = reinterpret_cast<ImageRecord*>(records->image);
        if (windowed) {
            plugin.Call(CmdConfigure, records->params);
            plugin.Call(CmdAbout, records->params);
        }
        plugin.Unload();
        RegDeleteTreeA(HKEY_CURRENT_USER, key.ExifPath().c_str());
    }

    // The module loaded afresh, with the handles counted while none is
    // loaded: whatever the load or its calls keep shows at the unload.
    void Reload(std::vector<std::string>& problems)
    {
        Unload(problems);
        handlesUnloaded = test::HandleCensus::Take();
        afterLastCall.reset();
        plugin.Reload();
        ++loads;
        callsSinceLoad = 0;
    }

    void Unload(std::vector<std::string>& problems)
    {
        if (!plugin.Loaded()) {
            return;
        }
        plugin.Unload();
        afterLastCall.reset();
        const test::HandleCensus after = test::HandleCensus::Take();
        if (after != handlesUnloaded) {
            problems.push_back("handles kept by a load of the module: {" + handlesUnloaded.Describe() +
                               "} before it, {" + after.Describe() + "} after its unload");
        }
    }

    // The commands of one job as a careful host sends them.
    static std::vector<uint32_t> JobPlan(std::mt19937& random)
    {
        std::vector<uint32_t> plan;
        if (random() % 2) {
            plan.push_back(CmdDescribe);
        }
        plan.insert(plan.end(), {CmdCheckFormat, CmdBeginImage});
        if (random() % 2) {
            plan.push_back(CmdSetPalette);
        }
        plan.insert(plan.end(), 1 + random() % 20, CmdWriteBlock);
        plan.push_back(random() % 4 ? CmdFinish : CmdAbort);
        return plan;
    }

    void FreeStep(std::mt19937& random, RandomHost& host, Log& log, std::vector<std::string>& problems)
    {
        const uint32_t action = random() % 100;
        if (action < 5) {
            Reload(problems);
            log.Add("reload the module");
        } else if (action < 7) {
            Unload(problems);
            log.Add("unload the module");
        } else if (action < 15) {
            log.Add("forge " + host.ForgeValue());
        } else if (action < 17) {
            sandbox.RemoveSpoolFiles();
            log.Add("delete the spool files");
        } else {
            const Call call = host.Prepare(host.PickCommand(), false);
            CallAndCheck(call, log, problems);
            host.Restore(call);
        }
    }

    void CallAndCheck(const Call& call, Log& log, std::vector<std::string>& problems)
    {
        if (!plugin.Loaded()) {
            Reload(problems);
        }
        if (options.verbose) {
            std::printf("  > %s%s\n", CommandName(call.command).c_str(),
                        (call.note.empty() ? "" : ": " + call.note).c_str());
            std::fflush(stdout);
        }
        const int convertsBefore = recorder->calls;
        windows.messageBoxes = 0;
        const test::HandleCensus handlesBefore = afterLastCall ? *afterLastCall : test::HandleCensus::Take();
        const uint64_t heapBefore = test::HeapBytesInUse();
        const uint32_t status =
            call.noParams ? plugin.CallWithoutParams(call.command) : plugin.Call(call.command, records->params);
        // The recording converter's copy of the spool file is the test's, not the plug-in's.
        std::free(recorder->spoolCopy);
        recorder->spoolCopy = nullptr;
        const int64_t heapDelta = static_cast<int64_t>(test::HeapBytesInUse()) - static_cast<int64_t>(heapBefore);
        const test::HandleCensus handlesAfter = test::HandleCensus::Take();
        afterLastCall = handlesAfter;
        // The first call creates the plug-in object, kept until unload.
        const bool counted = callsSinceLoad++ > 0;
        if (counted) {
            callHeapGrowth += heapDelta;
        }
        ++calls;
        const int16_t code = static_cast<int16_t>(call.command & 0xFFFF);
        const char* name = code >= 0 && code <= 8 ? CommandNames[code] : "other";
        ++statuses[name][status];
        heapKept[name] += counted ? heapDelta : 0;

        char line[64];
        std::snprintf(line, sizeof line, " -> %u", static_cast<unsigned>(status));
        if (options.verbose && heapDelta != 0) {
            std::printf("  heap %+lld\n", static_cast<long long>(heapDelta));
        }
        log.Add(CommandName(call.command) + (call.note.empty() ? "" : ": " + call.note) + line);

        if (std::find(std::begin(AllowedStatuses), std::end(AllowedStatuses), status) == std::end(AllowedStatuses)) {
            problems.push_back("status " + std::to_string(status) + " is none the host knows");
        }
        if (windowed && windows.messageBoxes != (HasMessage(status) ? 1 : 0)) {
            problems.push_back(std::to_string(windows.messageBoxes) + " message boxes for status " +
                               std::to_string(status));
        }
        if (handlesAfter != handlesBefore) {
            problems.push_back("handles kept by the call: {" + handlesBefore.Describe() + "} before, {" +
                               handlesAfter.Describe() + "} after");
        }
        const bool endsJob = code == CmdFinish || code == CmdAbort;
        // With its key unreadable, or no parameter block to name it, the
        // plug-in cannot find the job to end.
        if (endsJob && !call.brokenKey && !call.noParams) {
            for (const std::string& name : sandbox.SpoolFiles()) {
                problems.push_back("spool file left after " + CommandName(call.command) + ": " + name);
            }
            for (const char* name : JobValues) {
                if (key.HasValue(name)) {
                    problems.push_back(std::string("job value left after ") + CommandName(call.command) + ": " + name);
                }
            }
        }
        if (recorder->calls != convertsBefore) {
            if (code != CmdFinish) {
                problems.push_back("the converter ran outside Finish");
            }
            if (!InTempDir(sandbox.TempDir(), recorder->spoolPath)) {
                problems.push_back(std::string("the converter was handed ") + recorder->spoolPath);
            }
        }
        CheckValueNames(key.ExifPath(), problems);
        sandbox.CheckSurroundings(problems);
    }

    void Summary() const
    {
        std::printf("%u sequences from %u, %llu calls, seed %u, %s\n", sequences, options.first,
                    static_cast<unsigned long long>(calls), options.seed,
                    windowed ? "message boxes and dialogs open" : "no windows open");
        std::printf("  command      heap kept  statuses (status:count)\n");
        for (const auto& [command, counts] : statuses) {
            std::printf("  %-12s %9lld ", command.c_str(), static_cast<long long>(heapKept.at(command)));
            for (const auto& [status, count] : counts) {
                std::printf(" %u:%llu", static_cast<unsigned>(status), static_cast<unsigned long long>(count));
            }
            std::printf("\n");
        }
        const int64_t byLoads = sequenceHeapGrowth - callHeapGrowth;
        std::printf("heap kept by the calls after each load's first: %lld bytes; by %llu module loads: %lld bytes"
                    " (%lld a load)\n",
                    static_cast<long long>(callHeapGrowth), static_cast<unsigned long long>(loads),
                    static_cast<long long>(byLoads),
                    static_cast<long long>(loads ? byLoads / static_cast<int64_t>(loads) : 0));
        std::printf("TLS indexes kept by the module loads: %lld\n", static_cast<long long>(tlsKept));
        std::printf("handles at the start: {%s}; at the end: {%s}\n", handlesAtStart.Describe().c_str(),
                    handlesAtEnd.Describe().c_str());
    }

    const Options& options;
    test::TestRegistryKey key;
    Sandbox sandbox;
    test::PluginLibrary plugin;
    test::Recorder recorder;
    std::unique_ptr<test::HostRecords> records;
    // Without windows, no message box to count, and the modal dialogs are
    // left out since nothing could close them.
    bool windowed = false;
    uint32_t sequences = 0;
    uint64_t calls = 0;
    uint64_t loads = 0;
    uint32_t callsSinceLoad = 0;
    int64_t callHeapGrowth = 0;
    int64_t sequenceHeapGrowth = 0;
    int64_t tlsKept = 0;
    test::HandleCensus handlesUnloaded;
    // A census is some 300 server round trips, most of a call's time when
    // the server waits for a busy processor. The one after a call stands for
    // the one before the next while the module stays loaded: what this host
    // does between calls closes whatever it opens.
    std::optional<test::HandleCensus> afterLastCall;
    test::HandleCensus handlesAtStart;
    test::HandleCensus handlesAtEnd;
    std::map<std::string, std::map<uint32_t, uint64_t>> statuses;
    std::map<std::string, int64_t> heapKept;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    if (argc < 2) {
        return false;
    }
    options.stage = argv[1];
    std::replace(options.stage.begin(), options.stage.end(), '/', '\\');
    if (options.stage.back() != '\\') {
        options.stage += '\\';
    }
    options.seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    bool counted = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sequences" && hasValue) {
            options.sequences = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
            counted = true;
        } else if (arg == "--seconds" && hasValue) {
            options.seconds = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--first" && hasValue) {
            options.first = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--seed" && hasValue) {
            options.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--only" && hasValue) {
            options.first = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
            options.sequences = 1;
            counted = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            return false;
        }
    }
    if (options.seconds != 0 && !counted) {
        options.sequences = UINT32_MAX - options.first;
    }
    return true;
}

} // namespace

} // namespace vlexif::chaos

int main(int argc, char** argv)
{
    using namespace vlexif::chaos;
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: chaos_host STAGE_FOLDER [--sequences N] [--seconds T] [--first K] [--seed S]"
                     " [--only K] [--verbose]\n");
        return 2;
    }
    if (options.seconds != 0) {
        std::printf("chaos host: seed %u, sequences from %u for %u s\n", options.seed, options.first, options.seconds);
    } else {
        std::printf("chaos host: seed %u, %u sequences from %u\n", options.seed, options.sequences, options.first);
    }
    std::fflush(stdout);
    Run run(options);
    const uint32_t failed = run.Go();
    std::printf("chaos host: %u violations\n", failed);
    return failed == 0 ? 0 : 1;
}
