#include "converter/jpeg/JpegFileEncoder.h"

#include "converter/base/HeapBuffer.h"
#include "converter/base/LastFailure.h"
#include "converter/base/StripPlan.h"
#include "converter/base/ThreadGroup.h"
#include "converter/jpeg/JpegStripEncoder.h"
#include "converter/survey/GreyRows.h"
#include "win32/SystemCalls.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace vkexf {

namespace {

// LateColour is no failure: a grey pass met a colour pixel and stops.
enum class Stage { Read, Encode, Write, LateColour };

// The compressed page moves up for an Exif segment larger than its room in runs of this size.
constexpr size_t MoveBytes = 1u << 20;

// Room for the Exif segment is left ahead of the first strip only when the
// page is expected to compress to this many times that room: the room's
// unused part, a few kilobytes, is then lost in the file's size, and on a
// smaller page moving it up costs little.
constexpr uint64_t RoomShare = 64;

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

class StripWorker;

// What the workers share. The lock guards the counters, the meetings and
// the failure; the file is written only by the worker whose strip is next,
// so never by two. Whatever the workers decide together is decided at a
// meeting, by the last to arrive, from integers summed in any order: the
// file is the same however the work was shared out.
struct SharedWork {
    const BmpRowReader* reader = nullptr;
    const JpegSettings* settings = nullptr;
    HANDLE output = INVALID_HANDLE_VALUE;
    StripWorker* workers = nullptr;
    uint32_t workerCount = 0; // set before the first meeting
    size_t scalerBytes = 0;   // a worker's thumbnail sums
    uint32_t mostRows = 0;    // a worker's pixel rows, whatever the page's mode
    // Whether the sample is tested for colour before it is compressed:
    // always, unless a colour pixel was met in an earlier pass.
    bool survey = false;
    // The page's plans as grey and as colour; the strips follow one.
    StripPlan greyPlan;
    StripPlan colourPlan;

    // Decided at the first meeting: the strips are written with one
    // component, and each is tested for colour first.
    bool grey = false;
    const StripPlan* plan = nullptr;
    // Decided at the second: the tables for every strip, and the room left
    // for the Exif segment.
    HuffmanTable dc[2] = {};
    HuffmanTable ac[2] = {};
    size_t room = 0;

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE turn = CONDITION_VARIABLE_INIT;
    uint32_t arrived = 0;  // at the meeting under way
    uint32_t meetings = 0; // held so far
    bool colourMet = false;
    uint32_t nextSurvey = 0;        // the next sample band to test
    uint32_t nextSample = 0;        // the next sample band to compress
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
    StripWorker() = default;
    StripWorker(const StripWorker&) = delete;
    StripWorker& operator=(const StripWorker&) = delete;

    void Attach(SharedWork* sharedWork, uint32_t index)
    {
        work = sharedWork;
        slot = &sharedWork->parked[index];
    }
    // Tests the sample for colour when asked to, compresses it, then takes
    // strips until there are none left or a worker has failed.
    static DWORD WINAPI Main(void* worker)
    {
        static_cast<StripWorker*>(worker)->Run();
        return 0;
    }
    // What this worker's sample bands hold; empty if it took none.
    const SymbolCounts* Counts() const
    {
        return counts.Valid() ? reinterpret_cast<const SymbolCounts*>(counts.Address()) : nullptr;
    }
    uint64_t SampleBytes() const { return sampleBytes; }
    // The thumbnail sums of the strips it took; empty if it ended before
    // the sample.
    ThumbnailScaler* Scaler() { return scaler ? &*scaler : nullptr; }

private:
    void Run();
    // Each takes sample bands until there are none left or a worker has failed.
    void Survey();
    void Sample();
    void Strips();
    // Waits for every worker to arrive; the last decides for all with
    // `decide`. False when a worker has failed.
    [[nodiscard]] bool Meet(void (*decide)(SharedWork&));
    // Reads `count` rows from `top` into the pixel buffer.
    [[nodiscard]] bool Read(uint32_t top, uint32_t count);
    // Takes the next of `plan`'s sample bands, `next` the shared counter,
    // and reads its `count` rows; false once all are taken or any worker
    // has failed.
    [[nodiscard]] bool NextBand(uint32_t& next, const StripPlan& plan, uint32_t& count);
    // The pixel rows, once; the compress object once the page's mode is known.
    [[nodiscard]] bool PrepareRows();
    [[nodiscard]] bool PrepareEncoder();
    SymbolCounts& Counted() { return *reinterpret_cast<SymbolCounts*>(counts.Address()); }
    uint8_t** Rows() { return reinterpret_cast<uint8_t**>(rows.Address()); }
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

    SharedWork* work = nullptr;
    ParkedStrip* slot = nullptr;
    JpegStripEncoder encoder;
    HeapBuffer parkedBytes;
    HeapBuffer pixels;
    HeapBuffer rows;
    HeapBuffer counts;
    HeapBuffer sums;
    uint64_t sampleBytes = 0;
    std::optional<ThumbnailScaler> scaler;
};

// The first meeting: grey unless the survey met colour.
void DecideMode(SharedWork& work)
{
    work.grey = !work.colourMet;
    work.plan = work.grey ? &work.greyPlan : &work.colourPlan;
}

// The second: tables fitted to the workers' samples together, and room for
// the Exif segment when the page, judged by its sample, is large.
void DecideTables(SharedWork& work)
{
    SymbolCounts total = {};
    uint64_t sampleBytes = 0;
    for (uint32_t i = 0; i < work.workerCount; ++i) {
        if (const SymbolCounts* counts = work.workers[i].Counts()) {
            total.Add(*counts);
        }
        sampleBytes += work.workers[i].SampleBytes();
    }
    for (int table = 0; table < 2; ++table) {
        work.dc[table] = FittedTable(total.dc[table], true);
        work.ac[table] = FittedTable(total.ac[table], false);
    }
    const StripPlan& plan = *work.plan;
    const uint64_t pageMcuRows = (work.settings->height + plan.mcuSide - 1) / plan.mcuSide;
    const uint64_t expected = sampleBytes * pageMcuRows / plan.sampleBands;
    work.room = expected >= RoomShare * work.settings->exifRoom ? work.settings->exifRoom : 0;
}

void StripWorker::Run()
{
    if (!PrepareRows()) {
        return;
    }
    // A worker that fails stops the others at the next meeting.
    if (work->survey) {
        Survey();
        if (!Meet(DecideMode)) {
            return;
        }
    }
    if (!PrepareEncoder()) {
        return;
    }
    Sample();
    if (Meet(DecideTables)) {
        encoder.UseTables(work->dc, work->ac);
        Strips();
    }
}

bool StripWorker::PrepareRows()
{
    if (!pixels.Allocate(size_t{work->mostRows} * work->reader->Layout().stride) ||
        !rows.Allocate(size_t{work->mostRows} * sizeof(uint8_t*))) {
        Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

bool StripWorker::PrepareEncoder()
{
    const StripPlan& plan = *work->plan;
    // Most strips compress to well under a quarter of their pixels; the
    // first also carries the headers.
    const size_t outputBytes = size_t{plan.stripRows} * work->reader->Layout().stride / 4 + 4096;
    if (const Status status = encoder.Prepare(*work->settings, work->grey, plan.restartInterval, outputBytes)) {
        Fail(Stage::Encode, status, 0);
        return false;
    }
    if (!counts.Allocate(sizeof(SymbolCounts)) || !sums.Allocate(work->scalerBytes)) {
        Fail(Stage::Encode, StatusNoMemory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    Counted() = {};
    scaler.emplace(work->settings->width, work->settings->height, sums.Address());
    return true;
}

bool StripWorker::Read(uint32_t top, uint32_t count)
{
    DWORD error = 0;
    if (const Status status = work->reader->ReadRows(top, count, pixels.Address(), Rows(), error)) {
        Fail(Stage::Read, status, error);
        return false;
    }
    return true;
}

bool StripWorker::NextBand(uint32_t& next, const StripPlan& plan, uint32_t& count)
{
    uint32_t band = 0;
    if (!Take(next, plan.sampleBands, band)) {
        return false;
    }
    const uint32_t height = work->settings->height;
    const uint32_t top = SampleBandTop(plan, height, band);
    count = std::min(plan.mcuSide, height - top);
    return Read(top, count);
}

void StripWorker::Survey()
{
    // The bands a grey page's sample compresses: tested here, they need no
    // test there.
    const StripPlan& plan = work->greyPlan;
    uint32_t count = 0;
    while (NextBand(work->nextSurvey, plan, count)) {
        if (!RowsAreGrey(Rows(), count, work->settings->width)) {
            // One colour pixel settles it: no worker takes another band.
            AcquireSRWLockExclusive(&work->lock);
            work->colourMet = true;
            work->nextSurvey = plan.sampleBands;
            ReleaseSRWLockExclusive(&work->lock);
        }
    }
}

void StripWorker::Sample()
{
    uint32_t count = 0;
    while (NextBand(work->nextSample, *work->plan, count)) {
        if (const Status status = encoder.Sample(Rows(), count, Counted())) {
            return Fail(Stage::Encode, status, 0);
        }
        sampleBytes += encoder.Size();
    }
}

void StripWorker::Strips()
{
    const StripPlan& plan = *work->plan;
    const uint32_t height = work->settings->height;
    uint32_t strip = 0;
    while (Take(work->nextStrip, plan.strips, strip)) {
        const uint32_t top = strip * plan.stripRows;
        const uint32_t count = std::min(plan.stripRows, height - top);
        if (!Read(top, count)) {
            return;
        }
        // Row by row, each in the nearest cache for both: a grey page's
        // test for colour, then the thumbnail's sums.
        for (uint32_t row = 0; row < count; ++row) {
            if (work->grey && !BgrRowIsGrey(Rows()[row], work->settings->width)) {
                return Fail(Stage::LateColour, StatusOk, 0);
            }
            scaler->AddRow(top + row, Rows()[row]);
        }
        if (const Status status = encoder.Encode(Rows(), count, strip, plan.strips)) {
            return Fail(Stage::Encode, status, 0);
        }
        if (strip == 0) {
            work->segmentAt = encoder.SegmentAt();
            if (const Status status = encoder.LeaveRoom(work->room)) {
                return Fail(Stage::Encode, status, 0);
            }
        }
        if (!Deliver(strip)) {
            return;
        }
    }
}

bool StripWorker::Meet(void (*decide)(SharedWork&))
{
    AcquireSRWLockExclusive(&work->lock);
    const uint32_t meeting = work->meetings;
    if (++work->arrived == work->workerCount) {
        if (!work->failed) {
            decide(*work);
        }
        work->arrived = 0;
        ++work->meetings;
        WakeAllConditionVariable(&work->turn);
    }
    while (!work->failed && work->meetings == meeting) {
        SleepConditionVariableSRW(&work->turn, &work->lock, INFINITE, 0);
    }
    const bool met = !work->failed;
    ReleaseSRWLockExclusive(&work->lock);
    return met;
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
    for (uint32_t i = 0; wrote && i < work->workerCount; ++i) {
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

// Runs up to `count` workers, this thread the first; when no more threads
// can be had, the workers started take all the work.
void RunWorkers(SharedWork& work, uint32_t count)
{
    ThreadGroup threads;
    uint32_t started = 1;
    while (started < count && threads.Start(StripWorker::Main, &work.workers[started])) {
        ++started;
    }
    // Before this thread's worker arrives at a meeting, so no meeting
    // closes without it.
    AcquireSRWLockExclusive(&work.lock);
    work.workerCount = started;
    ReleaseSRWLockExclusive(&work.lock);
    StripWorker::Main(&work.workers[0]);
}

} // namespace

Status JpegFileEncoder::Encode(const JpegSettings& settings, HANDLE output, const char* outputPath)
{
    late = false;
    SharedWork work;
    work.reader = &reader;
    work.settings = &settings;
    work.output = output;
    work.survey = !colour;
    work.grey = false;
    work.scalerBytes = (ThumbnailScaler::WorkBytes(settings.width, settings.height) + 7) / 8 * 8;
    const uint32_t stride = reader.Layout().stride;
    const uint32_t processors = UsableProcessors();
    work.greyPlan = PlanStrips(settings.width, settings.height, stride, McuSide(true, settings.quality), processors,
                               work.scalerBytes, stripBytes);
    work.colourPlan = PlanStrips(settings.width, settings.height, stride, McuSide(false, settings.quality), processors,
                                 work.scalerBytes, stripBytes);
    work.plan = &work.colourPlan; // unless the survey finds the page grey
    work.mostRows = std::max(work.greyPlan.stripRows, work.colourPlan.stripRows);

    StripWorker workers[MaxWorkers];
    const uint32_t count = std::min(work.greyPlan.workers, work.colourPlan.workers);
    for (uint32_t i = 0; i < count; ++i) {
        workers[i].Attach(&work, i);
    }
    work.workers = workers;
    RunWorkers(work, count);
    if (work.failed && work.stage == Stage::LateColour) {
        colour = true;
        late = true;
        return StatusOk;
    }
    if (work.failed) {
        return Report(work, outputPath);
    }
    colour = !work.grey;

    // Integer sums: the same thumbnail however the strips were shared out.
    ThumbnailScaler& total = *workers[0].Scaler();
    for (uint32_t i = 1; i < work.workerCount; ++i) {
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
    room = work.room;
    fileEnd = work.fileEnd;
    return StatusOk;
}

Status JpegFileEncoder::InsertSegment(const uint8_t* payload, size_t size, HANDLE output, const char* outputPath)
{
    // The segment fills its room, and takes as much more as it needs.
    const size_t segmentBytes = std::max(4 + size, room);
    const size_t shift = segmentBytes - room;
    const uint64_t bodyAt = segmentAt + room;
    HeapBuffer buffer;
    const auto bufferBytes = static_cast<size_t>(
        std::max<uint64_t>(shift ? std::min<uint64_t>(fileEnd - bodyAt, MoveBytes) : 0, segmentBytes));
    if (!buffer.Allocate(bufferBytes)) {
        return FailWithError(StatusNoMemory, CannotWrite, outputPath, ERROR_NOT_ENOUGH_MEMORY);
    }
    // From the end down, so that no run overwrites one still to be moved.
    for (uint64_t end = fileEnd; shift && end > bodyAt;) {
        const auto count = static_cast<DWORD>(std::min<uint64_t>(end - bodyAt, bufferBytes));
        const uint64_t start = end - count;
        OVERLAPPED from = At(start);
        DWORD read = 0;
        if (!vlexif::Os().readFile(output, buffer.Address(), count, &read, &from)) {
            return FailWithError(StatusWriteFailed, CannotWrite, outputPath, GetLastError());
        }
        if (read != count) {
            return FailWithError(StatusWriteFailed, CannotWrite, outputPath, ERROR_HANDLE_EOF);
        }
        OVERLAPPED to = At(start + shift);
        if (const DWORD error = WriteAll(output, buffer.Address(), count, &to)) {
            return FailWithError(WriteStatus(error), CannotWrite, outputPath, error);
        }
        end = start;
    }
    uint8_t* const segment = buffer.Address();
    const size_t length = segmentBytes - 2; // counts itself
    segment[0] = 0xFF;
    segment[1] = JPEG_APP0 + 1;
    segment[2] = static_cast<uint8_t>(length >> 8);
    segment[3] = static_cast<uint8_t>(length);
    std::memcpy(segment + 4, payload, size);
    // Readers follow the TIFF offsets, so the zeros behind are never read.
    std::memset(segment + 4 + size, 0, segmentBytes - 4 - size);
    OVERLAPPED to = At(segmentAt);
    if (const DWORD error = WriteAll(output, segment, segmentBytes, &to)) {
        return FailWithError(WriteStatus(error), CannotWrite, outputPath, error);
    }
    fileEnd += shift;
    return StatusOk;
}

} // namespace vkexf
