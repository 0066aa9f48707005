// What the converter does to each strip besides compressing it, natively:
// the exact grey test, the tolerant one's block sums and judgement, and the
// thumbnail's area sums on a 64-line block of 4960-pixel grey rows (either
// test reads a grey page to its end), in input bytes per second, beside a
// memcpy of the same block. Figures only.
#include "converter/survey/ChromaBlocks.h"
#include "converter/survey/GreyRows.h"
#include "converter/survey/ThumbnailScaler.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace vkexf;

constexpr uint32_t Width = 4960;
constexpr uint32_t Height = 7016; // the A4 page the rows belong to
constexpr uint32_t Lines = 64;
constexpr size_t BlockBytes = size_t{Width} * 3 * Lines;

std::vector<uint8_t> GreyBlock()
{
    std::vector<uint8_t> block(BlockBytes);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i / 3 * 7);
    return block;
}

void GreyTest(benchmark::State& state)
{
    const std::vector<uint8_t> block = GreyBlock();
    for (auto _ : state) {
        bool grey = true;
        for (uint32_t y = 0; y < Lines; ++y)
            grey = grey && BgrRowIsGrey(&block[size_t{y} * Width * 3], Width);
        benchmark::DoNotOptimize(grey);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BlockBytes));
}

void ChromaTest(benchmark::State& state)
{
    const std::vector<uint8_t> block = GreyBlock();
    std::vector<uint32_t> work(ChromaRows::WorkBytes(Width) / sizeof(uint32_t) + 1);
    ChromaRows rows(Width, work.data());
    PaperTone paper;
    for (auto _ : state) {
        uint32_t colour = 0;
        for (uint32_t y = 0; y < Lines; ++y) {
            rows.AddRow(&block[size_t{y} * Width * 3]);
            if ((y + 1) % ChromaBlockSide == 0)
                colour += rows.TakeColourBlocks(paper);
        }
        benchmark::DoNotOptimize(colour);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BlockBytes));
}

void ThumbnailSums(benchmark::State& state)
{
    const std::vector<uint8_t> block = GreyBlock();
    std::vector<uint64_t> work(ThumbnailScaler::WorkBytes(Width, Height) / sizeof(uint64_t) + 1);
    ThumbnailScaler scaler(Width, Height, work.data());
    for (auto _ : state) {
        // Rows of the page's middle; each row adds the same work wherever it is.
        for (uint32_t y = 0; y < Lines; ++y)
            scaler.AddRow(Height / 2 + y, &block[size_t{y} * Width * 3]);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BlockBytes));
}

void Memcpy(benchmark::State& state)
{
    const std::vector<uint8_t> block = GreyBlock();
    std::vector<uint8_t> out(BlockBytes);
    for (auto _ : state) {
        std::memcpy(out.data(), block.data(), BlockBytes);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BlockBytes));
}

BENCHMARK(GreyTest);
BENCHMARK(ChromaTest);
BENCHMARK(ThumbnailSums);
BENCHMARK(Memcpy);

} // namespace

BENCHMARK_MAIN();
