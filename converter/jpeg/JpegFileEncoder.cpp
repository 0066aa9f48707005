#include "converter/jpeg/JpegFileEncoder.h"

#include "converter/base/Crew.h"
#include "converter/base/HeapBuffer.h"
#include "converter/base/LastFailure.h"
#include "converter/base/StripPlan.h"
#include "converter/base/ThreadGroup.h"
#include "converter/files/WholeRuns.h"
#include "converter/jpeg/JpegStripEncoder.h"
#include "converter/jpeg/PageSample.h"
#include "converter/jpeg/StripWriter.h"
#include "converter/survey/ChromaBlocks.h"
#include "converter/survey/GreyRows.h"

#include <algorithm>
#include <optional>

namespace vkexf {

namespace {

// How the workers' work ended: the whole page in the file, or the first
// reason a worker stopped them all.
struct Ending {
    enum What { PageWritten, ColourFoundLate, ReadFailed, EncodeFailed, WriteFailed };
    What what = PageWritten;
    Status status = StatusOk;
    DWORD error = 0;
};

// What the workers share, under the crew's lock but for what one worker
// alone touches. Whatever they decide together is decided at a meeting, by
// the last to arrive, from integers summed in any order: the file is the
// same however the work was shared out.
struct PageWork {
    PageWork(const BmpRowReader& reader, const JpegSettings& settings, HANDLE output, const StripPlan& greyPlan,
             const StripPlan& colourPlan, ColourRule rule, BlockSums* sampleBlocks, ExifRoom& exifRoom)
        : reader(reader),
          settings(settings),
          sample(crew, greyPlan, colourPlan, settings.width, settings.height, rule, sampleBlocks),
          writer(crew, output),
          exifRoom(exifRoom)
    {
    }

    const BmpRowReader& reader;
    const JpegSettings& settings;
    Crew crew;
    PageSample sample;
    StripWriter writer;
    ExifRoom& exifRoom;     // decided at the second meeting, left by the worker of the first strip
    size_t scalerBytes = 0; // a worker's thumbnail sums
    uint32_t mostRows = 0;  // a worker's pixel rows, whatever the page's mode
    uint32_t nextStrip = 0; // the next strip to take, counted from the top
    Ending ending;          // recorded by the worker that stopped the work
};

// Whether `count` rows of `width` pixels are all grey.
bool RowsAreGrey(uint8_t* const* rows, uint32_t count, uint32_t width)
{
    for (uint32_t i = 0; i < count; ++i) {
        if (!BgrRowIsGrey(rows[i], width)) {
            return false;
        }
    }
    return true;
}

class PageWorker {
public:
    PageWorker() = default;
    PageWorker(const PageWorker&) = delete;
    PageWorker& operator=(const PageWorker&) = delete;

    void Attach(PageWork* pageWork, uint32_t workerIndex)
    {
        work = pageWork;
        index = workerIndex;
    }
    // Tests the sample for colour when asked to, compresses it, then takes
    // strips until there are none left or a worker has stopped the work.
    static DWORD WINAPI Main(void* worker)
    {
        static_cast<PageWorker*>(worker)->Run();
        return 0;
    }
    // The thumbnail sums of the strips it took; none if it ended before
    // the sample.
    ThumbnailScaler* Scaler() { return scaler ? &*scaler : nullptr; }

private:
    void Run();
    // Each takes bands or strips until there are none left or the work has
    // stopped.
    void TestSampleForColour();
    void CompressSample();
    void CompressStrips();
    // By the page's rule, once `row`, the page's row `y`, is in.
    [[nodiscard]] bool StillGrey(const uint8_t* row, uint32_t y);
    // The pixel rows, once; the compress object once the page's mode is known.
    [[nodiscard]] bool PrepareRows();
    [[nodiscard]] bool PrepareEncoder();
    [[nodiscard]] bool Read(const Band& band);
    uint8_t** Rows() { return reinterpret_cast<uint8_t**>(rows.Address()); }
    SymbolCounts& Counted() { return *reinterpret_cast<SymbolCounts*>(counts.Address()); }
    // Stops every worker at its next step, unless another did first.
    void Stop(const Ending& ending);
    void Fail(Ending::What stage, Status status, DWORD error = 0) { Stop({stage, status, error}); }

    PageWork* work = nullptr;
    uint32_t index = 0;
    JpegStripEncoder encoder;
    HeapBuffer pixels;
    HeapBuffer rows;
    HeapBuffer counts;
    HeapBuffer sums;
    std::optional<ThumbnailScaler> scaler;
    HeapBuffer chromaWork;
    std::optional<ChromaRows> chroma; // by the tolerant rule
};

void PageWorker::Run()
{
    if (!PrepareRows()) {
        return;
    }
    // A worker that fails stops the others at the next meeting.
    PageWork& page = *work;
    if (page.sample.TestsColour()) {
        TestSampleForColour();
        if (!page.crew.Meet([&page] { page.sample.DecideMode(); })) {
            return;
        }
    }
    if (!PrepareEncoder()) {
        return;
    }
    CompressSample();
    const auto decide = [&page] {
        page.sample.FitTables();
        page.exifRoom.Decide(page.settings.exifRoom, page.sample.ExpectedBytes());
    };
    if (page.crew.Meet(decide)) {
        encoder.UseTables(page.sample.Dc(), page.sample.Ac());
        CompressStrips();
    }
}

bool PageWorker::PrepareRows()
{
    if (!pixels.Allocate(size_t{work->mostRows} * work->reader.Layout().stride) ||
        !rows.Allocate(size_t{work->mostRows} * sizeof(uint8_t*))) {
        Fail(Ending::EncodeFailed, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (work->sample.Tolerant()) {
        const uint32_t width = work->settings.width;
        if (!chromaWork.Allocate(ChromaRows::WorkBytes(width))) {
            Fail(Ending::EncodeFailed, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        chroma.emplace(width, chromaWork.Address());
    }
    return true;
}

bool PageWorker::PrepareEncoder()
{
    const StripPlan& plan = work->sample.Plan();
    // Most strips compress to well under a quarter of their pixels; the
    // first also carries the headers.
    const size_t outputBytes = size_t{plan.stripRows} * work->reader.Layout().stride / 4 + 4096;
    if (const Status status = encoder.Prepare(work->settings, work->sample.Grey(), plan.restartInterval, outputBytes)) {
        Fail(Ending::EncodeFailed, status);
        return false;
    }
    if (!counts.Allocate(sizeof(SymbolCounts)) || !sums.Allocate(work->scalerBytes)) {
        Fail(Ending::EncodeFailed, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    Counted() = {};
    scaler.emplace(work->settings.width, work->settings.height, sums.Address());
    return true;
}

bool PageWorker::Read(const Band& band)
{
    DWORD error = 0;
    if (const Status status = work->reader.ReadRows(band.top, band.rows, pixels.Address(), Rows(), error)) {
        Fail(Ending::ReadFailed, status, error);
        return false;
    }
    return true;
}

void PageWorker::TestSampleForColour()
{
    Band band;
    while (work->sample.TakeBandToTest(band) && Read(band)) {
        if (chroma) {
            for (uint32_t row = 0; row < band.rows; ++row) {
                chroma->AddRow(Rows()[row]);
            }
            chroma->CloseBlocks();
            work->sample.KeepBlocks(band, *chroma);
        } else if (!RowsAreGrey(Rows(), band.rows, work->settings.width)) {
            work->sample.MetColour();
        }
    }
}

void PageWorker::CompressSample()
{
    uint64_t bytes = 0;
    Band band;
    while (work->sample.TakeBandToCompress(band) && Read(band)) {
        if (const Status status = encoder.Sample(Rows(), band.rows, Counted())) {
            return Fail(Ending::EncodeFailed, status);
        }
        bytes += encoder.Size();
    }
    work->sample.Add(Counted(), bytes);
}

void PageWorker::CompressStrips()
{
    const StripPlan& plan = work->sample.Plan();
    const bool grey = work->sample.Grey();
    const uint32_t height = work->settings.height;
    uint32_t strip = 0;
    while (work->crew.Take(work->nextStrip, plan.strips, strip)) {
        const uint32_t top = strip * plan.stripRows;
        const Band band{top, std::min(plan.stripRows, height - top)};
        if (!Read(band)) {
            return;
        }
        // Row by row, each in the nearest cache for both: a grey page's
        // test for colour, then the thumbnail's sums.
        for (uint32_t row = 0; row < band.rows; ++row) {
            if (grey && !StillGrey(Rows()[row], top + row)) {
                // No failure: the page goes again, in colour.
                return Stop({Ending::ColourFoundLate});
            }
            scaler->AddRow(top + row, Rows()[row]);
        }
        if (const Status status = encoder.Encode(Rows(), band.rows, strip, plan.strips)) {
            return Fail(Ending::EncodeFailed, status);
        }
        if (strip == 0) {
            if (const Status status = work->exifRoom.LeaveIn(encoder)) {
                return Fail(Ending::EncodeFailed, status);
            }
        }
        if (const DWORD error = work->writer.Deliver(index, strip, encoder.Bytes(), encoder.Size())) {
            return Fail(Ending::WriteFailed, WriteStatus(error), error);
        }
    }
}

bool PageWorker::StillGrey(const uint8_t* row, uint32_t y)
{
    if (!chroma) {
        return BgrRowIsGrey(row, work->settings.width);
    }
    chroma->AddRow(row);
    // Strips hold whole rows of blocks, the page's last row ending its own.
    const bool blocksEnd = (y + 1) % ChromaBlockSide == 0 || y + 1 == work->settings.height;
    return !blocksEnd || !work->sample.AddColourBlocks(chroma->TakeColourBlocks(work->sample.Paper()));
}

void PageWorker::Stop(const Ending& ending)
{
    if (work->crew.Stop()) {
        work->ending = ending;
    }
}

// The failure that stopped the workers, in words, once they have ended.
Status Report(const Ending& failure, const BmpRowReader& reader, const char* outputPath)
{
    switch (failure.what) {
    case Ending::ReadFailed:
        return reader.ReportReadFailure(failure.status, failure.error);
    case Ending::EncodeFailed:
        if (failure.status == StatusNoMemory) {
            return FailWithError(failure.status, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
        }
        return Fail(failure.status, CannotWrite, outputPath, "the JPEG encoder failed");
    default:
        return FailWithError(failure.status, CannotWrite, outputPath, failure.error);
    }
}

// Runs up to `count` workers, this thread the first; when no more threads
// can be had, the workers started take all the work. How many ran.
uint32_t RunWorkers(PageWorker* workers, uint32_t count, Crew& crew)
{
    ThreadGroup threads;
    uint32_t started = 1;
    while (started < count && threads.Start(PageWorker::Main, &workers[started])) {
        ++started;
    }
    // Before this thread's worker arrives at a meeting, so no meeting
    // closes without it.
    crew.SetSize(started);
    PageWorker::Main(&workers[0]);
    return started;
}

} // namespace

Status JpegFileEncoder::Encode(const JpegSettings& settings, HANDLE output, const char* outputPath)
{
    colourFoundLate = false;
    const size_t scalerBytes = (ThumbnailScaler::WorkBytes(settings.width, settings.height) + 7) / 8 * 8;
    const uint32_t stride = reader.Layout().stride;
    const uint32_t processors = UsableProcessors();
    const StripPlan greyPlan = PlanStrips(settings.width, settings.height, stride, McuSide(true, settings.quality),
                                          processors, scalerBytes, stripBytes);
    const StripPlan colourPlan = PlanStrips(settings.width, settings.height, stride, McuSide(false, settings.quality),
                                            processors, scalerBytes, stripBytes);
    // The sample is tested for colour unless an earlier pass met colour.
    const ColourRule rule = colour ? ColourRule::AlwaysColour : settings.colourRule;
    static_assert(ChromaBlockSide == McuSide(true, 100), "a grey page's strips and sample bands hold whole blocks");
    if (rule == ColourRule::Tolerant &&
        !sampleBlocks.Allocate(PageSample::SampleBlocks(greyPlan, settings.width) * sizeof(BlockSums))) {
        return FailWithError(StatusNoMemory, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
    }
    PageWork work(reader, settings, output, greyPlan, colourPlan, rule,
                  reinterpret_cast<BlockSums*>(sampleBlocks.Address()), exifRoom);
    work.scalerBytes = scalerBytes;
    work.mostRows = std::max(greyPlan.stripRows, colourPlan.stripRows);

    PageWorker workers[MaxWorkers];
    const uint32_t count = std::min(greyPlan.workers, colourPlan.workers);
    for (uint32_t i = 0; i < count; ++i) {
        workers[i].Attach(&work, i);
    }
    const uint32_t ran = RunWorkers(workers, count, work.crew);
    if (work.ending.what == Ending::ColourFoundLate) {
        colour = true;
        colourFoundLate = true;
        return StatusOk;
    }
    if (work.ending.what != Ending::PageWritten) {
        return Report(work.ending, reader, outputPath);
    }
    colour = !work.sample.Grey();

    // Integer sums: the same thumbnail however the strips were shared out.
    ThumbnailScaler& total = *workers[0].Scaler();
    for (uint32_t i = 1; i < ran; ++i) {
        if (ThumbnailScaler* other = workers[i].Scaler()) {
            total.Add(*other);
        }
    }
    thumbnailSize = total.Size();
    if (!thumbnail.Allocate(size_t{thumbnailSize.width} * thumbnailSize.height * 3)) {
        return FailWithError(StatusNoMemory, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
    }
    total.Finish(thumbnail.Address());
    fileEnd = work.writer.End();
    return StatusOk;
}

} // namespace vkexf
