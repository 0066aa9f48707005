#include "converter/SpoolSurvey.h"

#include "converter/GreyRows.h"
#include "converter/LastFailure.h"
#include "converter/ThreadGroup.h"

#include <algorithm>
#include <atomic>
#include <optional>

namespace vkexf {

namespace {

// What the workers share. The lock guards the first failure.
struct SharedSurvey {
    const BmpRowReader* reader = nullptr;
    ConverterCalls calls = {};
    SurveyPlan plan;
    // Once a worker meets a colour pixel the page is colour: no worker
    // tests for grey any more, only the thumbnail sums go on.
    std::atomic<bool> colour{false};
    std::atomic<bool> failed{false};

    SRWLOCK lock = SRWLOCK_INIT;
    Status status = StatusOk;
    DWORD error = 0;

    // Keeps the first failure of all workers; the others stop at their next read.
    void Fail(Status failure, DWORD failureError)
    {
        AcquireSRWLockExclusive(&lock);
        if (!failed.load()) {
            status = failure;
            error = failureError;
            failed.store(true);
        }
        ReleaseSRWLockExclusive(&lock);
    }
};

class SurveyWorker {
public:
    SurveyWorker() = default;
    SurveyWorker(const SurveyWorker&) = delete;
    SurveyWorker& operator=(const SurveyWorker&) = delete;

    void Attach(SharedSurvey* shared, uint32_t top, uint32_t bottom)
    {
        shared_ = shared;
        top_ = top;
        bottom_ = bottom;
    }

    // Surveys rows top to bottom (exclusive) of the page, unless a worker fails.
    void Run();
    static DWORD WINAPI ThreadMain(void* worker)
    {
        static_cast<SurveyWorker*>(worker)->Run();
        return 0;
    }

    // Set once Run has allocated its memory.
    ThumbnailScaler& scaler() { return *scaler_; }

private:
    SharedSurvey* shared_ = nullptr;
    uint32_t top_ = 0;
    uint32_t bottom_ = 0;
    HeapBuffer memory_; // the thumbnail sums, then the row pointers and the rows read
    std::optional<ThumbnailScaler> scaler_;
};

void SurveyWorker::Run()
{
    const SurveyPlan& plan = shared_->plan;
    const BmpRowReader& reader = *shared_->reader;
    const BmpLayout& layout = reader.layout();
    if (!memory_.Allocate(plan.bytesPerWorker, shared_->calls.heapAlloc))
        return shared_->Fail(StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
    scaler_.emplace(layout.width, layout.height, memory_.data());
    auto** rows = reinterpret_cast<uint8_t**>(memory_.data() + plan.scalerBytes);
    auto* pixels = reinterpret_cast<uint8_t*>(rows + plan.readRows);

    for (uint32_t done = 0; done < bottom_ - top_;) {
        if (shared_->failed.load(std::memory_order_relaxed))
            return;
        const uint32_t count = std::min(plan.readRows, bottom_ - top_ - done);
        // Runs in the order the file stores them, so the reads go forwards.
        const uint32_t top = layout.topDown ? top_ + done : bottom_ - done - count;
        DWORD error = 0;
        if (const Status status = reader.ReadRows(top, count, pixels, rows, shared_->calls, error))
            return shared_->Fail(status, error);
        // Row by row as they lie in memory.
        for (uint32_t stored = 0; stored < count; ++stored) {
            const uint8_t* row = pixels + size_t{stored} * layout.stride;
            if (!shared_->colour.load(std::memory_order_relaxed) && !BgrRowIsGrey(row, layout.width))
                shared_->colour.store(true, std::memory_order_relaxed);
            scaler_->AddRow(layout.topDown ? top + stored : top + count - 1 - stored, row);
        }
        done += count;
    }
}

} // namespace

Status SpoolSurvey::Run(const BmpRowReader& reader)
{
    grey_ = false;
    thumbnailSize_ = {};
    const BmpLayout& layout = reader.layout();
    SharedSurvey shared;
    shared.reader = &reader;
    shared.calls = calls_;
    shared.plan = PlanSurvey(layout.width, layout.height, layout.stride, UsableProcessors(), readBytes_);
    const uint32_t workerCount = shared.plan.workers;

    SurveyWorker workers[kMaxWorkers];
    for (uint32_t i = 0; i < workerCount; ++i)
        workers[i].Attach(&shared, SurveyBandTop(layout.height, workerCount, i),
                          SurveyBandTop(layout.height, workerCount, i + 1));
    {
        ThreadGroup threads;
        uint32_t started = 1;
        // Fewer threads only means less speed: this thread takes the bands left over.
        while (started < workerCount && threads.Start(SurveyWorker::ThreadMain, &workers[started]))
            ++started;
        workers[0].Run();
        for (uint32_t i = started; i < workerCount; ++i)
            workers[i].Run();
    }
    if (shared.failed.load())
        return reader.ReportReadFailure(shared.status, shared.error);

    for (uint32_t i = 1; i < workerCount; ++i)
        workers[0].scaler().Add(workers[i].scaler());
    const ThumbnailSize size = workers[0].scaler().size();
    if (!thumbnail_.Allocate(size_t{size.width} * size.height * 3, calls_.heapAlloc))
        return reader.ReportReadFailure(StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
    workers[0].scaler().Finish(thumbnail_.data());
    grey_ = !shared.colour.load();
    thumbnailSize_ = size;
    return StatusOk;
}

} // namespace vkexf
