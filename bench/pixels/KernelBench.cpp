// The row kernels on one block of 64 lines of an A4 page at 600 dpi (4960
// pixels a line), in output bytes per second, each in every variant this
// machine supports, beside a memcpy of the same output size. The closing table
// gives kernel/memcpy, the median when the run has repetitions, and the
// variant the dispatch chose for each kernel, against the best one.
#include "pixels/PixelFormat.h"
#include "pixels/RowConverters.h"
#include "pixels/RowExpansion.h"
#include "pixels/SimdLevel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace vlexif;

constexpr int32_t Width = 4960;
constexpr int32_t Lines = 64;
constexpr double Goal = 0.5;

PaletteEntry palette[PaletteCapacity];

struct Kernel {
    const char* name;
    int32_t sourceBytesPerLine;
    uint32_t outputBits;
    bool hasGoal;
    void (*run)(const HostBlock& block, uint8_t* out, uint32_t stride);
    SimdLevel (*chosen)(); // null for a kernel without variants
};

// Source distances as the plug-in passes them for each format.
const Kernel kernels[] = {
    {"SwapRgb24Rows", static_cast<int32_t>(RowStride(Width, 24)), 24, true,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { SwapRgb24Rows(b, RowStride(Width, 24), o, s); },
     [] { return ChosenSimdLevel(RowConversion::SwapRgb24); }},
    {"ReduceRgb48Rows", 6 * Width, 24, true,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { ReduceRgb48Rows(b, 6 * Width, o, s); },
     [] { return ChosenSimdLevel(RowConversion::ReduceRgb48); }},
    {"ReduceGray16Rows", 2 * Width, 8, false,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { ReduceGray16Rows(b, 2 * Width, o, s); },
     [] { return ChosenSimdLevel(RowConversion::ReduceGray16); }},
    {"CopyRows (8-bit)", Width, 8, false, [](const HostBlock& b, uint8_t* o, uint32_t s) { CopyRows(b, Width, o, s); },
     nullptr},
    {"ExpandGray8Rows", Width, 24, true, [](const HostBlock& b, uint8_t* o, uint32_t s) { ExpandGray8Rows(b, o, s); },
     [] { return ChosenSimdLevel(RowExpansion::Gray8); }},
    {"ExpandIndexed8Rows", Width, 24, true,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { ExpandIndexed8Rows(b, palette, o, s); },
     [] { return ChosenSimdLevel(RowExpansion::Indexed8); }},
    {"ExpandGray16Rows", 2 * Width, 24, true,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { ExpandGray16Rows(b, palette, o, s); },
     [] { return ChosenSimdLevel(RowExpansion::Gray16); }},
    {"Expand4BitRows", Width / 2, 24, true,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { Expand4BitRows(b, palette, o, s); },
     [] { return ChosenSimdLevel(RowExpansion::FourBit); }},
    {"Expand1BitRows", (Width + 7) / 8, 24, true,
     [](const HostBlock& b, uint8_t* o, uint32_t s) { Expand1BitRows(b, palette, o, s); },
     [] { return ChosenSimdLevel(RowExpansion::OneBit); }},
};

std::vector<uint8_t> RandomBytes(size_t count)
{
    std::mt19937 random(12345);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

uint32_t OutputBytes(const Kernel& kernel)
{
    return RowStride(Width, kernel.outputBits) * Lines;
}

std::string MemcpyName(uint32_t bytes)
{
    return "memcpy/" + std::to_string(bytes);
}

std::string VariantName(const Kernel& kernel, SimdLevel level)
{
    return std::string(kernel.name) + "/" + SimdLevelName(level);
}

void RunKernel(benchmark::State& state, const Kernel& kernel, SimdLevel level)
{
    static_cast<void>(UseSimdLevel(level)); // only supported levels are registered
    const std::vector<uint8_t> source = RandomBytes(static_cast<size_t>(kernel.sourceBytesPerLine) * Lines);
    const uint32_t stride = RowStride(Width, kernel.outputBits);
    std::vector<uint8_t> out(OutputBytes(kernel));
    const HostBlock block{source.data(), kernel.sourceBytesPerLine, Width, Lines, 0};
    for (auto _ : state) {
        kernel.run(block, out.data(), stride);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(out.size()));
}

void RunMemcpy(benchmark::State& state, uint32_t bytes)
{
    const std::vector<uint8_t> source = RandomBytes(bytes);
    std::vector<uint8_t> out(bytes);
    for (auto _ : state) {
        std::memcpy(out.data(), source.data(), bytes);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

// The console output as usual, plus each benchmark's output rate for the table.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (rate == run.counters.end()) {
                continue;
            }
            const std::string name = run.run_name.str();
            // A single run stands for itself; with repetitions, the median replaces the first.
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    rates[name] = rate->second.value;
                }
            } else if (rates.count(name) == 0) {
                rates[name] = rate->second.value;
            }
        }
    }

    // Zero for a benchmark that did not run.
    double Rate(const std::string& name) const
    {
        const auto found = rates.find(name);
        return found == rates.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> rates;
};

// Each kernel's own choice, made (timed) on its first call, and how long that took.
struct Choice {
    SimdLevel level;
    double microseconds;
};

std::map<std::string, Choice> ChooseVariants()
{
    std::map<std::string, Choice> choices;
    for (const Kernel& kernel : kernels) {
        if (kernel.chosen != nullptr) {
            const auto start = std::chrono::steady_clock::now();
            const SimdLevel level = kernel.chosen();
            const std::chrono::duration<double, std::micro> taken = std::chrono::steady_clock::now() - start;
            choices[kernel.name] = Choice{level, taken.count()};
        }
    }
    return choices;
}

void PrintTable(const RateReporter& reporter, const std::map<std::string, Choice>& choices)
{
    std::printf("\nRow kernels, %d-pixel lines, blocks of %d lines (output MB/s, 1 MB = 1e6 bytes)\n", Width, Lines);
    std::printf("%-20s %-6s %10s %10s %8s %8s\n", "kernel", "level", "kernel", "memcpy", "ratio", "goal");
    for (const Kernel& kernel : kernels) {
        const double copy = reporter.Rate(MemcpyName(OutputBytes(kernel)));
        double best = 0.0;
        for (int l = 0; l <= static_cast<int>(SupportedSimdLevel()); ++l) {
            const SimdLevel level = static_cast<SimdLevel>(l);
            const double own = reporter.Rate(VariantName(kernel, level));
            if (own == 0.0 || copy == 0.0) {
                continue;
            }
            best = std::max(best, own / copy);
            std::printf("%-20s %-6s %10.0f %10.0f %8.2f\n", kernel.name, SimdLevelName(level), own / 1e6, copy / 1e6,
                        own / copy);
        }
        if (best == 0.0) {
            continue;
        }
        const char* verdict = !kernel.hasGoal ? "-" : best >= Goal ? "met" : "missed";
        std::printf("%-20s %-6s %10s %10s %8.2f %8s\n", kernel.name, "best", "", "", best, verdict);
        const auto choice = choices.find(kernel.name);
        if (choice != choices.end()) {
            const Choice& chosen = choice->second;
            const double ratio = reporter.Rate(VariantName(kernel, chosen.level)) / copy;
            std::printf("%-20s %-6s %10s %10s %8.2f %8s  %.2f of best, chosen in %.0f us\n", kernel.name, "chosen",
                        SimdLevelName(chosen.level), "", ratio, "", ratio / best, chosen.microseconds);
        }
    }
    std::printf("goal: best kernel/memcpy >= %.1f for the RGB swap, the RGB48 reduction and every expansion\n", Goal);
    std::printf("chosen: the variant the dispatch runs, timed on the kernel's first call (level in force: %s)\n",
                SimdLevelName(ActiveSimdLevel()));
}

} // namespace

int main(int argc, char** argv)
{
    for (uint32_t i = 0; i < PaletteCapacity; ++i) {
        palette[i] =
            PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
    }
    std::set<uint32_t> memcpySizes;
    for (const Kernel& kernel : kernels) {
        for (int l = 0; l <= static_cast<int>(SupportedSimdLevel()); ++l) {
            const SimdLevel level = static_cast<SimdLevel>(l);
            benchmark::RegisterBenchmark(VariantName(kernel, level).c_str(), RunKernel, kernel, level);
        }
        memcpySizes.insert(OutputBytes(kernel));
    }
    for (const uint32_t bytes : memcpySizes) {
        benchmark::RegisterBenchmark(MemcpyName(bytes).c_str(), RunMemcpy, bytes);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::map<std::string, Choice> choices = ChooseVariants();
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintTable(reporter, choices);
    return 0;
}
