#include "converter/jpeg/JpegFileEncoder.h"

#include "converter/base/HeapBuffer.h"
#include "converter/base/LastFailure.h"
#include "converter/base/StripPlan.h"
#include "converter/base/ThreadGroup.h"
#include "converter/jpeg/JpegStripEncoder.h"

#include <algorithm>
#include <cstring>

namespace vkexf {

namespace {

enum class Stage { Read, Encode, Write };

// A strip compressed before the strips above it were in the file, set
// aside so that its worker can go on to the next; whoever writes the strip
// above writes it too.
struct ParkedStrip {
    enum State { Empty, Waiting, Writing };
    State state = Empty;
    uint32_t strip = 0;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};

// What the workers share. The lock guards the counters and the failure; the
// file is written only by the worker whose strip is next, so never by two.
struct SharedWork {
    const BmpRowReader* reader = nullptr;
    ConverterCalls calls = {};
    const JpegSettings* settings = nullptr;
    StripPlan plan;
    HANDLE output = INVALID_HANDLE_VALUE;
    // Fitted to the sample, before any strip is taken.
    HuffmanTable dc[2] = {};
    HuffmanTable ac[2] = {};

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE turn = CONDITION_VARIABLE_INIT;
    uint32_t nextSample = 0;        // the next sample band to take
    uint32_t nextStrip = 0;         // the next strip to take, counted from the top
    uint32_t written = 0;           // strips in the file
    ParkedStrip parked[MaxWorkers]; // one a worker
    bool failed = false;
    Stage stage = Stage::Read;
    Status status = StatusOk;
    DWORD error = 0;
};

class StripWorker {
public:
    explicit StripWorker(SharedWork* sharedWork = nullptr) : work(sharedWork) {}
    StripWorker(const StripWorker&) = delete;
    StripWorker& operator=(const StripWorker&) = delete;

    // Takes sample bands until there are none left or a worker has failed.
    void Sample();
    // Takes strips until there are none left or a worker has failed.
    void Run();
    static DWORD WINAPI SampleMain(void* worker)
    {
        static_cast<StripWorker*>(worker)->Sample();
        return 0;
    }
    static DWORD WINAPI RunMain(void* worker)
    {
        static_cast<StripWorker*>(worker)->Run();
        return 0;
    }
    void Attach(SharedWork* sharedWork, uint32_t index)
    {
        work = sharedWork;
        slot = &sharedWork->parked[index];
    }
    // What this worker's sample bands hold; empty if it took none.
    const SymbolCounts* Counts() const
    {
        return counts.Valid() ? reinterpret_cast<const SymbolCounts*>(counts.Address()) : nullptr;
    }

private:
    // Once for both passes: the compress object and its memory stay.
    [[nodiscard]] bool Prepare();
    SymbolCounts& Counted() { return *reinterpret_cast<SymbolCounts*>(counts.Address()); }
    // The next of `count` sample bands or strips, `next` the shared
    // counter; false once all are taken or any worker has failed.
    [[nodiscard]] bool Take(uint32_t& next, uint32_t count, uint32_t& taken);
    // Puts the strip just compressed in the file, or sets it aside when the
    // strips above it are not there yet and none of this worker's waits.
    [[nodiscard]] bool Deliver(uint32_t strip);
    [[nodiscard]] bool Park(uint32_t strip);
    [[nodiscard]] bool WaitForTurn(uint32_t strip);
    // Counts the strip written, then writes the strips set aside that follow.
    [[nodiscard]] bool PassTurn();
    [[nodiscard]] bool Write(const uint8_t* bytes, size_t size);
    // Records the first failure of all workers and wakes those that wait.
    void Fail(Stage stage, Status status, DWORD error);

    SharedWork* work;
    ParkedStrip* slot = nullptr;
    JpegStripEncoder encoder;
    HeapBuffer parkedBytes;
    HeapBuffer pixels;
    HeapBuffer rows;
    HeapBuffer counts;
    bool prepared = false;
};

bool StripWorker::Prepare()
{
    if (prepared) {
        return true;
    }
    const StripPlan& plan = work->plan;
    const size_t stripBytes = size_t{plan.stripRows} * work->reader->Layout().stride;
    if (!pixels.Allocate(stripBytes, work->calls.heapAlloc) ||
        !rows.Allocate(size_t{plan.stripRows} * sizeof(uint8_t*), work->calls.heapAlloc)) {
        Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // Most strips compress to well under a quarter of their pixels; the
    // first also carries the headers.
    const size_t outputBytes = stripBytes / 4 + work->settings->exifSegmentSize + 4096;
    if (const Status status = encoder.Prepare(*work->settings, plan.restartInterval, outputBytes, work->calls)) {
        Fail(Stage::Encode, status, 0);
        return false;
    }
    prepared = true;
    return true;
}

void StripWorker::Sample()
{
    uint32_t band = 0;
    while (Take(work->nextSample, work->plan.sampleBands, band)) {
        if (!Prepare()) {
            return;
        }
        if (!counts.Valid()) {
            if (!counts.Allocate(sizeof(SymbolCounts), work->calls.heapAlloc)) {
                return Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
            }
            Counted() = {};
        }
        const uint32_t top = SampleBandTop(work->plan, work->settings->height, band);
        const uint32_t count = std::min(work->plan.mcuSide, work->settings->height - top);
        auto** rowPointers = reinterpret_cast<uint8_t**>(rows.Address());
        DWORD error = 0;
        if (const Status status =
                work->reader->ReadRows(top, count, pixels.Address(), rowPointers, work->calls, error)) {
            return Fail(Stage::Read, status, error);
        }
        if (const Status status = encoder.Sample(rowPointers, count, Counted())) {
            return Fail(Stage::Encode, status, 0);
        }
    }
}

void StripWorker::Run()
{
    if (!Prepare()) {
        return;
    }
    encoder.UseTables(work->dc, work->ac);
    const StripPlan& plan = work->plan;
    const uint32_t height = work->settings->height;
    auto** rowPointers = reinterpret_cast<uint8_t**>(rows.Address());
    uint32_t strip = 0;
    while (Take(work->nextStrip, plan.strips, strip)) {
        const uint32_t top = strip * plan.stripRows;
        const uint32_t count = std::min(plan.stripRows, height - top);
        DWORD error = 0;
        if (const Status status =
                work->reader->ReadRows(top, count, pixels.Address(), rowPointers, work->calls, error)) {
            return Fail(Stage::Read, status, error);
        }
        if (const Status status = encoder.Encode(rowPointers, count, strip, plan.strips)) {
            return Fail(Stage::Encode, status, 0);
        }
        if (!Deliver(strip)) {
            return;
        }
    }
}

bool StripWorker::Deliver(uint32_t strip)
{
    AcquireSRWLockExclusive(&work->lock);
    const bool mayPark = work->written != strip && slot->state == ParkedStrip::Empty;
    ReleaseSRWLockExclusive(&work->lock);
    if (mayPark && Park(strip)) {
        return true;
    }
    return WaitForTurn(strip) && Write(encoder.Bytes(), encoder.Size()) && PassTurn();
}

bool StripWorker::Park(uint32_t strip)
{
    // The slot is empty, so no other worker reads these bytes.
    const size_t size = encoder.Size();
    if (parkedBytes.Size() < size && !parkedBytes.Allocate(size + size / 4, work->calls.heapAlloc)) {
        return false; // no room to set it aside: wait instead
    }
    std::memcpy(parkedBytes.Address(), encoder.Bytes(), size);
    AcquireSRWLockExclusive(&work->lock);
    // Its turn may have come meanwhile; then it is written now.
    const bool parked = work->written != strip && !work->failed;
    if (parked) {
        *slot = {ParkedStrip::Waiting, strip, parkedBytes.Address(), size};
    }
    ReleaseSRWLockExclusive(&work->lock);
    return parked;
}

bool StripWorker::Take(uint32_t& next, uint32_t count, uint32_t& taken)
{
    AcquireSRWLockExclusive(&work->lock);
    const bool any = !work->failed && next < count;
    if (any) {
        taken = next++;
    }
    ReleaseSRWLockExclusive(&work->lock);
    return any;
}

bool StripWorker::WaitForTurn(uint32_t strip)
{
    AcquireSRWLockExclusive(&work->lock);
    while (!work->failed && work->written != strip) {
        SleepConditionVariableSRW(&work->turn, &work->lock, INFINITE, 0);
    }
    const bool turn = !work->failed;
    ReleaseSRWLockExclusive(&work->lock);
    return turn;
}

bool StripWorker::PassTurn()
{
    bool wrote = true;
    AcquireSRWLockExclusive(&work->lock);
    ++work->written;
    for (uint32_t i = 0; wrote && i < work->plan.workers; ++i) {
        ParkedStrip& next = work->parked[i];
        if (next.state != ParkedStrip::Waiting || next.strip != work->written) {
            continue;
        }
        next.state = ParkedStrip::Writing;
        ReleaseSRWLockExclusive(&work->lock);
        wrote = Write(next.bytes, next.size);
        AcquireSRWLockExclusive(&work->lock);
        next.state = ParkedStrip::Empty;
        ++work->written;
        i = static_cast<uint32_t>(-1); // the next may be any worker's
    }
    ReleaseSRWLockExclusive(&work->lock);
    WakeAllConditionVariable(&work->turn);
    return wrote;
}

bool StripWorker::Write(const uint8_t* bytes, size_t size)
{
    const auto count = static_cast<DWORD>(size);
    DWORD written = 0;
    const BOOL wrote = WriteFile(work->output, bytes, count, &written, nullptr);
    if (wrote && written == count) {
        return true;
    }
    // A write to a disk file that succeeds short has run out of room: Wine
    // reports a full disk so.
    const DWORD error = wrote ? ERROR_DISK_FULL : GetLastError();
    const bool full = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
    Fail(Stage::Write, full ? StatusDiskFull : StatusWriteFailed, error ? error : ERROR_WRITE_FAULT);
    return false;
}

void StripWorker::Fail(Stage stage, Status status, DWORD error)
{
    AcquireSRWLockExclusive(&work->lock);
    if (!work->failed) {
        work->failed = true;
        work->stage = stage;
        work->status = status;
        work->error = error;
    }
    ReleaseSRWLockExclusive(&work->lock);
    WakeAllConditionVariable(&work->turn);
}

// The first failure in words, once the workers have ended.
Status Report(const SharedWork& work, const char* outputPath)
{
    switch (work.stage) {
    case Stage::Read:
        return work.reader->ReportReadFailure(work.status, work.error);
    case Stage::Encode:
        if (work.status == StatusNoMemory) {
            return FailWithError(work.status, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
        }
        return Fail(work.status, CannotWrite, outputPath, "the JPEG encoder failed");
    default:
        return FailWithError(work.status, CannotWrite, outputPath, work.error);
    }
}

// Runs `routine` for each of `count` workers, this thread the first; when
// no more threads can be had, the workers started take all the work.
void RunWorkers(StripWorker* workers, uint32_t count, LPTHREAD_START_ROUTINE routine)
{
    ThreadGroup threads;
    for (uint32_t i = 1; i < count; ++i) {
        if (!threads.Start(routine, &workers[i])) {
            break;
        }
    }
    routine(&workers[0]);
}

// The tables for the workers' samples together.
void FitTables(const StripWorker* workers, uint32_t count, HuffmanTable (&dc)[2], HuffmanTable (&ac)[2])
{
    SymbolCounts total = {};
    for (uint32_t i = 0; i < count; ++i) {
        if (const SymbolCounts* counts = workers[i].Counts()) {
            total.Add(*counts);
        }
    }
    for (int table = 0; table < 2; ++table) {
        dc[table] = FittedTable(total.dc[table], true);
        ac[table] = FittedTable(total.ac[table], false);
    }
}

} // namespace

Status JpegFileEncoder::Encode(const JpegSettings& settings, HANDLE output, const char* outputPath)
{
    SharedWork work;
    work.reader = &reader;
    work.calls = calls;
    work.settings = &settings;
    work.output = output;
    const BmpLayout& layout = reader.Layout();
    work.plan =
        PlanStrips(settings.width, settings.height, layout.stride, settings.grey, UsableProcessors(), stripBytes);

    StripWorker workers[MaxWorkers];
    for (uint32_t i = 0; i < work.plan.workers; ++i) {
        workers[i].Attach(&work, i);
    }
    RunWorkers(workers, work.plan.workers, StripWorker::SampleMain);
    if (work.failed) {
        return Report(work, outputPath);
    }
    FitTables(workers, work.plan.workers, work.dc, work.ac);
    RunWorkers(workers, work.plan.workers, StripWorker::RunMain);
    return work.failed ? Report(work, outputPath) : StatusOk;
}

} // namespace vkexf
