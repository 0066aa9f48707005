// Whole spool jobs under Wine.
//   spool_bench jobs [RUNS]       an A4 page at 600 dpi (4960 x 7016) per format
//                                 and block size: the plug-in, (a) the replay of
//                                 its system calls, (b) a plain write; medians
//   spool_bench memory HEIGHT...  the process's memory around one RGB24 job of
//                                 each height in 64-line blocks, each job in a
//                                 fresh process so that its peak is its own
#include "bench/spool/SpoolJobs.h"
#include "pixels/PixelFormat.h"
#include "spool/AppendZeros.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using namespace vlexif;
using namespace vlexif::bench;

constexpr int32_t PageWidth = 4960;
constexpr int32_t PageHeight = 7016;
constexpr int32_t MemoryBlockLines = 64;
constexpr double ReplayGoal = 1.15;

struct JobFigures {
    const ImageKind* kind;
    int32_t blockLines;
    double plugin;
    double replay;
    double plain;
    double replayWithRows;
    double replayWithRowsAndReads;
};

JobFigures MeasureJob(const ImageKind& kind, int32_t blockLines, int runs, const test::TestRegistryKey& key)
{
    SpoolJob job(kind, PageWidth, PageHeight, blockLines, key);
    std::vector<double> plugin;
    std::vector<double> replay;
    std::vector<double> plain;
    std::vector<double> withRows;
    std::vector<double> withRowsAndReads;
    // Interleaved, so that a slow spell of the machine falls on all alike.
    for (int run = 0; run < runs; ++run) {
        plugin.push_back(job.ThroughPlugin());
        replay.push_back(job.Replay());
        plain.push_back(job.PlainWrite());
        withRows.push_back(job.Replay({true, false}));
        withRowsAndReads.push_back(job.Replay({true, true}));
    }
    return {&kind,         blockLines,       Median(plugin),          Median(replay),
            Median(plain), Median(withRows), Median(withRowsAndReads)};
}

void RunJobs(int runs)
{
    const test::TestTempDir temp;
    const test::TestRegistryKey key;
    std::vector<JobFigures> figures;
    for (const ImageKind* kind : {&Rgb24, &Gray8, &Indexed8, &Bilevel}) {
        for (const int32_t blockLines : {16, 64, 256, 1024}) {
            figures.push_back(MeasureJob(*kind, blockLines, runs, key));
        }
    }
    std::printf("Whole job (BeginImage and every block), %d x %d pixels, median of %d runs, ms\n", PageWidth,
                PageHeight, runs);
    std::printf("%-9s %6s %9s %9s %9s %12s %12s\n", "format", "block", "plug-in", "(a)", "(b)", "plug-in/(a)",
                "plug-in/(b)");
    for (const JobFigures& f : figures) {
        std::printf("%-9s %6d %9.1f %9.1f %9.1f %12.2f %12.2f\n", f.kind->name, f.blockLines, f.plugin * 1e3,
                    f.replay * 1e3, f.plain * 1e3, f.plugin / f.replay, f.plugin / f.plain);
    }
    std::printf("(a) the plug-in's system calls replayed, memcpy in place of the row work; "
                "(b) header and pixel area written once, in order\n");
    std::printf("goal: plug-in/(a) <= %.2f\n", ReplayGoal);

    std::printf("\nWhere the plug-in's time beyond (a) goes, ms: (a) with the real row kernel, then also with\n"
                "every registry read the plug-in makes per block; the rest is the plug-in's own\n");
    std::printf("%-9s %6s %9s %9s %9s %9s %9s %9s\n", "format", "block", "(a)", "+kernel", "+reads", "plug-in",
                "kernel", "reads");
    for (const JobFigures& f : figures) {
        std::printf("%-9s %6d %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f\n", f.kind->name, f.blockLines, f.replay * 1e3,
                    f.replayWithRows * 1e3, f.replayWithRowsAndReads * 1e3, f.plugin * 1e3,
                    (f.replayWithRows - f.replay) * 1e3, (f.replayWithRowsAndReads - f.replayWithRows) * 1e3);
    }
}

PROCESS_MEMORY_COUNTERS_EX MemoryCounters()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    Expect(GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters) != 0,
           "GetProcessMemoryInfo");
    return counters;
}

long long KiB(SIZE_T bytes)
{
    return static_cast<long long>(bytes / 1024);
}

// One job in this process; prints one line of the memory table. Wine gives
// the current private bytes as their peak, so they are also sampled every
// millisecond while the job runs.
void MeasureMemory(int32_t height)
{
    const test::TestTempDir temp;
    const test::TestRegistryKey key;
    SpoolJob job(Rgb24, PageWidth, height, MemoryBlockLines, key);
    std::atomic<bool> done{false};
    SIZE_T sampledPrivate = 0;
    std::thread sampler([&] {
        while (!done) {
            sampledPrivate = std::max(sampledPrivate, MemoryCounters().PagefileUsage);
            Sleep(1);
        }
    });
    Sleep(10);
    const PROCESS_MEMORY_COUNTERS_EX before = MemoryCounters();
    job.ThroughPlugin();
    const PROCESS_MEMORY_COUNTERS_EX after = MemoryCounters();
    done = true;
    sampler.join();
    std::printf("%6d %10lld %10lld %8lld %10lld %10lld %8lld %10lld %8lld\n", height, KiB(before.WorkingSetSize),
                KiB(after.PeakWorkingSetSize), KiB(after.PeakWorkingSetSize) - KiB(before.WorkingSetSize),
                KiB(before.PagefileUsage), KiB(after.PeakPagefileUsage),
                KiB(after.PeakPagefileUsage) - KiB(before.PagefileUsage), KiB(sampledPrivate),
                KiB(sampledPrivate) - KiB(before.PagefileUsage));
}

// Runs this program again for each height and waits for it.
void MeasureMemoryInChildren(int count, char** heights)
{
    const uint32_t block = RowStride(PageWidth, 24) * MemoryBlockLines;
    std::printf("Memory around one RGB24 job, %d pixels wide, %d-line blocks, KiB\n", PageWidth, MemoryBlockLines);
    std::printf("expected growth: one block (%u) + one pre-fill chunk (%u) = %u KiB\n", block / 1024,
                PrefillChunkSize / 1024, (block + PrefillChunkSize) / 1024);
    std::printf("%6s %10s %10s %8s %10s %10s %8s %10s %8s\n", "lines", "WS before", "peak WS", "growth", "PF before",
                "peak PF", "growth", "PF max", "growth");
    std::fflush(stdout);
    char program[MAX_PATH];
    Expect(GetModuleFileNameA(nullptr, program, MAX_PATH) != 0, "GetModuleFileNameA");
    for (int i = 0; i < count; ++i) {
        std::string commandLine = std::string("\"") + program + "\" memory-job " + heights[i];
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION child = {};
        Expect(CreateProcessA(program, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                              &child) != 0,
               "cannot start " + commandLine);
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD exitCode = 1;
        GetExitCodeProcess(child.hProcess, &exitCode);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        Expect(exitCode == 0, commandLine + " failed");
    }
    std::printf("WS: working set (PeakWorkingSetSize); PF: private bytes (PeakPagefileUsage), whose\n"
                "peak Wine does not keep; PF max: the largest private bytes sampled during the job\n");
}

int Usage()
{
    std::fprintf(stderr, "usage: spool_bench jobs [RUNS] | spool_bench memory HEIGHT...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "jobs") == 0) {
        const int runs = argc >= 3 ? std::atoi(argv[2]) : 5;
        if (runs < 1) {
            return Usage();
        }
        RunJobs(runs);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "memory") == 0) {
        MeasureMemoryInChildren(argc - 2, argv + 2);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "memory-job") == 0) {
        const int height = std::atoi(argv[2]);
        if (height < 1) {
            return Usage();
        }
        MeasureMemory(height);
        return 0;
    }
    return Usage();
}
