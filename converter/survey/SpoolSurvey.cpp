#include "converter/survey/SpoolSurvey.h"

#include "converter/base/LastFailure.h"
#include "converter/base/ThreadGroup.h"
#include "converter/survey/GreyRows.h"
#include "win32/UniqueHandle.h"

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

    // Keeps the first failure of all workers; the others stop at their next
    // read. An error of 0 is a file that ended early.
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

    void Attach(SharedSurvey* sharedSurvey, uint32_t firstRow, uint32_t endRow)
    {
        shared = sharedSurvey;
        top = firstRow;
        bottom = endRow;
    }

    // Surveys rows top to bottom (exclusive) of the page, unless a worker fails.
    void Run();
    static DWORD WINAPI ThreadMain(void* worker)
    {
        static_cast<SurveyWorker*>(worker)->Run();
        return 0;
    }

    // Set once Run has allocated its memory.
    ThumbnailScaler& Scaler() { return *scaler; }

private:
    SharedSurvey* shared = nullptr;
    uint32_t top = 0;
    uint32_t bottom = 0;
    HeapBuffer memory; // the thumbnail sums, then the rows read
    std::optional<ThumbnailScaler> scaler;
};

void SurveyWorker::Run()
{
    const SurveyPlan& plan = shared->plan;
    const BmpLayout& layout = shared->reader->Layout();
    if (!memory.Allocate(plan.bytesPerWorker, shared->calls.heapAlloc)) {
        return shared->Fail(StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
    }
    scaler.emplace(layout.width, layout.height, memory.Address());
    uint8_t* const pixels = memory.Address() + plan.scalerBytes;

    // A handle of its own, read forwards from the band's first stored row:
    // under Wine, reads that carry their position cost half as much again.
    vlexif::UniqueFile file(CreateFileA(shared->reader->Path(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    const uint32_t firstStored = layout.topDown ? top : layout.height - bottom;
    LARGE_INTEGER start;
    start.QuadPart = static_cast<LONGLONG>(layout.pixelOffset + uint64_t{firstStored} * layout.stride);
    if (!file.Valid() || !SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) {
        return shared->Fail(StatusReadFailed, GetLastError());
    }

    for (uint32_t done = 0; done < bottom - top;) {
        if (shared->failed.load(std::memory_order_relaxed)) {
            return;
        }
        const uint32_t count = std::min(plan.readRows, bottom - top - done);
        const DWORD bytes = count * layout.stride;
        DWORD read = 0;
        if (!shared->calls.readFile(file.Get(), pixels, bytes, &read, nullptr)) {
            return shared->Fail(StatusReadFailed, GetLastError());
        }
        if (read != bytes) {
            return shared->Fail(StatusReadFailed, 0);
        }
        // The page row of the run's first stored row; bottom-up files store the lowest first.
        const uint32_t first = layout.topDown ? top + done : bottom - 1 - done;
        for (uint32_t stored = 0; stored < count; ++stored) {
            const uint8_t* row = pixels + size_t{stored} * layout.stride;
            if (!shared->colour.load(std::memory_order_relaxed) && !BgrRowIsGrey(row, layout.width)) {
                shared->colour.store(true, std::memory_order_relaxed);
            }
            scaler->AddRow(layout.topDown ? first + stored : first - stored, row);
        }
        done += count;
    }
}

} // namespace

Status SpoolSurvey::Run(const BmpRowReader& reader)
{
    grey = false;
    thumbnailSize = {};
    const BmpLayout& layout = reader.Layout();
    SharedSurvey shared;
    shared.reader = &reader;
    shared.calls = calls;
    shared.plan = PlanSurvey(layout.width, layout.height, layout.stride, UsableProcessors(), readBytes);
    const uint32_t workerCount = shared.plan.workers;

    SurveyWorker workers[MaxWorkers];
    for (uint32_t i = 0; i < workerCount; ++i) {
        workers[i].Attach(&shared, SurveyBandTop(layout.height, workerCount, i),
                          SurveyBandTop(layout.height, workerCount, i + 1));
    }
    {
        ThreadGroup threads;
        uint32_t started = 1;
        // Fewer threads only means less speed: this thread takes the bands left over.
        while (started < workerCount && threads.Start(SurveyWorker::ThreadMain, &workers[started])) {
            ++started;
        }
        workers[0].Run();
        for (uint32_t i = started; i < workerCount; ++i) {
            workers[i].Run();
        }
    }
    if (shared.failed.load()) {
        return reader.ReportReadFailure(shared.status, shared.error);
    }

    for (uint32_t i = 1; i < workerCount; ++i) {
        workers[0].Scaler().Add(workers[i].Scaler());
    }
    const ThumbnailSize size = workers[0].Scaler().Size();
    if (!thumbnail.Allocate(size_t{size.width} * size.height * 3, calls.heapAlloc)) {
        return reader.ReportReadFailure(StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
    }
    workers[0].Scaler().Finish(thumbnail.Address());
    grey = !shared.colour.load();
    thumbnailSize = size;
    return StatusOk;
}

} // namespace vkexf
