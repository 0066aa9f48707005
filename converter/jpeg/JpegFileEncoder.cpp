#include "converter/jpeg/JpegFileEncoder.h"

#include "converter/base/HeapBuffer.h"
#include "converter/base/LastFailure.h"
#include "converter/base/StripPlan.h"
#include "converter/base/ThreadGroup.h"
#include "converter/jpeg/JpegStripEncoder.h"
#include "converter/survey/GreyRows.h"
#include "win32/SystemCalls.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>

namespace vkexf {

namespace {

// LateColour is no failure: a grey pass met a colour pixel and stops.
enum class Stage { Read, Encode, Write, LateColour };

// The compressed page moves up to make room for the Exif segment in runs of this size.
constexpr size_t MoveBytes = 1u << 20;

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
    const JpegSettings* settings = nullptr;
    StripPlan plan;
    HANDLE output = INVALID_HANDLE_VALUE;
    // The strips are written with one component, and each is tested for
    // colour first.
    bool grey = false;
    // Fitted to the sample, before any strip is taken.
    const HuffmanTable (*dc)[2] = nullptr;
    const HuffmanTable (*ac)[2] = nullptr;
    size_t scalerBytes = 0; // a worker's thumbnail sums, in the strips' pass
    // The sample met a colour pixel: no worker tests for one any more.
    std::atomic<bool> colour{false};

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
    // Set by the worker whose turn it is to write.
    uint64_t fileEnd = 0;
    size_t segmentAt = 0;
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

// Writes all `size` bytes, at `at` when given; 0 or the reason it could not.
DWORD WriteAll(HANDLE file, const uint8_t* bytes, size_t size, OVERLAPPED* at)
{
    const auto count = static_cast<DWORD>(size);
    DWORD written = 0;
    const BOOL wrote = vlexif::Os().writeFile(file, bytes, count, &written, at);
    if (wrote && written == count) {
        return 0;
    }
    // A write to a disk file that succeeds short has run out of room: Wine
    // reports a full disk so.
    const DWORD error = wrote ? ERROR_DISK_FULL : GetLastError();
    return error ? error : ERROR_WRITE_FAULT;
}

Status WriteStatus(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? StatusDiskFull : StatusWriteFailed;
}

OVERLAPPED At(uint64_t offset)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

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
    // The thumbnail sums of the strips it took; empty if it never ran.
    ThumbnailScaler* Scaler() { return scaler ? &*scaler : nullptr; }

private:
    // Once per pass: the compress object and its memory stay for every strip.
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
    HeapBuffer sums;
    std::optional<ThumbnailScaler> scaler;
    bool prepared = false;
};

bool StripWorker::Prepare()
{
    if (prepared) {
        return true;
    }
    const StripPlan& plan = work->plan;
    const size_t stripBytes = size_t{plan.stripRows} * work->reader->Layout().stride;
    if (!pixels.Allocate(stripBytes) || !rows.Allocate(size_t{plan.stripRows} * sizeof(uint8_t*))) {
        Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // Most strips compress to well under a quarter of their pixels; the
    // first also carries the headers.
    const size_t outputBytes = stripBytes / 4 + 4096;
    if (const Status status = encoder.Prepare(*work->settings, work->grey, plan.restartInterval, outputBytes)) {
        Fail(Stage::Encode, status, 0);
        return false;
    }
    if (work->scalerBytes != 0) {
        if (!sums.Allocate(work->scalerBytes)) {
            Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        scaler.emplace(work->settings->width, work->settings->height, sums.Address());
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
            if (!counts.Allocate(sizeof(SymbolCounts))) {
                return Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
            }
            Counted() = {};
        }
        const uint32_t top = SampleBandTop(work->plan, work->settings->height, band);
        const uint32_t count = std::min(work->plan.mcuSide, work->settings->height - top);
        auto** rowPointers = reinterpret_cast<uint8_t**>(rows.Address());
        DWORD error = 0;
        if (const Status status = work->reader->ReadRows(top, count, pixels.Address(), rowPointers, error)) {
            return Fail(Stage::Read, status, error);
        }
        if (!work->colour.load(std::memory_order_relaxed) && !RowsAreGrey(rowPointers, count, work->settings->width)) {
            work->colour.store(true, std::memory_order_relaxed);
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
    encoder.UseTables(*work->dc, *work->ac);
    const StripPlan& plan = work->plan;
    const uint32_t height = work->settings->height;
    auto** rowPointers = reinterpret_cast<uint8_t**>(rows.Address());
    uint32_t strip = 0;
    while (Take(work->nextStrip, plan.strips, strip)) {
        const uint32_t top = strip * plan.stripRows;
        const uint32_t count = std::min(plan.stripRows, height - top);
        DWORD error = 0;
        if (const Status status = work->reader->ReadRows(top, count, pixels.Address(), rowPointers, error)) {
            return Fail(Stage::Read, status, error);
        }
        if (work->grey && !RowsAreGrey(rowPointers, count, work->settings->width)) {
            return Fail(Stage::LateColour, StatusOk, 0);
        }
        // While the rows are in the cache.
        for (uint32_t row = 0; row < count; ++row) {
            scaler->AddRow(top + row, rowPointers[row]);
        }
        if (const Status status = encoder.Encode(rowPointers, count, strip, plan.strips)) {
            return Fail(Stage::Encode, status, 0);
        }
        if (strip == 0) {
            work->segmentAt = encoder.SegmentAt();
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
    if (parkedBytes.Size() < size && !parkedBytes.Allocate(size + size / 4)) {
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
    if (const DWORD error = WriteAll(work->output, bytes, size, nullptr)) {
        Fail(Stage::Write, WriteStatus(error), error);
        return false;
    }
    work->fileEnd += size;
    return true;
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

Status JpegFileEncoder::Sample(const JpegSettings& settings, const char* outputPath)
{
    // Always compressed in colour: a grey page's luminance codes as its one
    // component does, and a colour page needs the chroma tables too.
    SharedWork work;
    work.reader = &reader;
    work.settings = &settings;
    work.plan = PlanStrips(settings.width, settings.height, reader.Layout().stride, McuSide(false, settings.quality),
                           UsableProcessors(), 0, stripBytes);
    StripWorker workers[MaxWorkers];
    for (uint32_t i = 0; i < work.plan.workers; ++i) {
        workers[i].Attach(&work, i);
    }
    RunWorkers(workers, work.plan.workers, StripWorker::SampleMain);
    if (work.failed) {
        return Report(work, outputPath);
    }
    FitTables(workers, work.plan.workers, dc, ac);
    colour = work.colour.load();
    sampled = true;
    return StatusOk;
}

Status JpegFileEncoder::Encode(const JpegSettings& settings, HANDLE output, const char* outputPath)
{
    late = false;
    if (!sampled) {
        if (const Status status = Sample(settings, outputPath)) {
            return status;
        }
    }
    SharedWork work;
    work.reader = &reader;
    work.settings = &settings;
    work.output = output;
    work.grey = !colour;
    work.dc = &dc;
    work.ac = &ac;
    work.scalerBytes = (ThumbnailScaler::WorkBytes(settings.width, settings.height) + 7) / 8 * 8;
    work.plan = PlanStrips(settings.width, settings.height, reader.Layout().stride,
                           McuSide(work.grey, settings.quality), UsableProcessors(), work.scalerBytes, stripBytes);

    StripWorker workers[MaxWorkers];
    for (uint32_t i = 0; i < work.plan.workers; ++i) {
        workers[i].Attach(&work, i);
    }
    RunWorkers(workers, work.plan.workers, StripWorker::RunMain);
    if (work.failed && work.stage == Stage::LateColour) {
        colour = true;
        late = true;
        return StatusOk;
    }
    if (work.failed) {
        return Report(work, outputPath);
    }

    // Integer sums: the same thumbnail however the strips were shared out.
    ThumbnailScaler& total = *workers[0].Scaler();
    for (uint32_t i = 1; i < work.plan.workers; ++i) {
        if (ThumbnailScaler* other = workers[i].Scaler()) {
            total.Add(*other);
        }
    }
    thumbnailSize = total.Size();
    if (!thumbnail.Allocate(size_t{thumbnailSize.width} * thumbnailSize.height * 3)) {
        return FailWithError(StatusNoMemory, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
    }
    total.Finish(thumbnail.Address());
    segmentAt = work.segmentAt;
    fileEnd = work.fileEnd;
    return StatusOk;
}

Status JpegFileEncoder::InsertSegment(const uint8_t* payload, size_t size, HANDLE output, const char* outputPath)
{
    const size_t segmentBytes = 4 + size;
    HeapBuffer buffer;
    const auto bufferBytes =
        static_cast<size_t>(std::max<uint64_t>(std::min<uint64_t>(fileEnd - segmentAt, MoveBytes), segmentBytes));
    if (!buffer.Allocate(bufferBytes)) {
        return FailWithError(StatusNoMemory, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
    }
    // From the end down, so that no run overwrites one still to be moved.
    for (uint64_t end = fileEnd; end > segmentAt;) {
        const auto count = static_cast<DWORD>(std::min<uint64_t>(end - segmentAt, bufferBytes));
        const uint64_t start = end - count;
        OVERLAPPED from = At(start);
        DWORD read = 0;
        if (!vlexif::Os().readFile(output, buffer.Address(), count, &read, &from)) {
            return FailWithError(StatusWriteFailed, CannotWrite, outputPath, GetLastError());
        }
        if (read != count) {
            return FailWithError(StatusWriteFailed, CannotWrite, outputPath, ERROR_HANDLE_EOF);
        }
        OVERLAPPED to = At(start + segmentBytes);
        if (const DWORD error = WriteAll(output, buffer.Address(), count, &to)) {
            return FailWithError(WriteStatus(error), CannotWrite, outputPath, error);
        }
        end = start;
    }
    uint8_t* const segment = buffer.Address();
    const size_t length = size + 2; // counts itself
    segment[0] = 0xFF;
    segment[1] = JPEG_APP0 + 1;
    segment[2] = static_cast<uint8_t>(length >> 8);
    segment[3] = static_cast<uint8_t>(length);
    std::memcpy(segment + 4, payload, size);
    OVERLAPPED to = At(segmentAt);
    if (const DWORD error = WriteAll(output, segment, segmentBytes, &to)) {
        return FailWithError(WriteStatus(error), CannotWrite, outputPath, error);
    }
    fileEnd += segmentBytes;
    return StatusOk;
}

} // namespace vkexf
