#include "tests/converter/FailingCalls.h"

#include "converter/Converter.h"

namespace vkexf::test {

namespace {

LONG calls = 0;
LONG64 bytesRead = 0;
LONG failAt = 0;
DWORD failure = 0;

bool FailsNow()
{
    return InterlockedIncrement(&calls) == failAt;
}

// Memory that has run out stays out: libjpeg tries again with less.
bool OutOfMemory()
{
    return InterlockedIncrement(&calls) >= failAt && failAt;
}

BOOL WINAPI FailingRead(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read, LPOVERLAPPED at)
{
    if (!FailsNow()) {
        const BOOL done = ReadFile(file, buffer, bytes, read, at);
        InterlockedAdd64(&bytesRead, done ? *read : 0);
        return done;
    }
    if (failure) {
        SetLastError(failure);
        return FALSE;
    }
    return ReadFile(file, buffer, bytes / 2, read, at);
}

LPVOID WINAPI FailingAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    return OutOfMemory() ? nullptr : HeapAlloc(heap, flags, bytes);
}

BOOL WINAPI FailingFlush(HANDLE file)
{
    if (FailsNow()) {
        SetLastError(failure);
        return FALSE;
    }
    return FlushFileBuffers(file);
}

} // namespace

void FailingCalls::Arm(LONG n, DWORD error)
{
    calls = 0;
    bytesRead = 0;
    failAt = n;
    failure = error;
}

LONG FailingCalls::Count()
{
    return calls;
}

LONG64 FailingCalls::BytesRead()
{
    return bytesRead;
}

vlexif::SystemCalls FailingCalls::Reads()
{
    vlexif::SystemCalls calls = vlexif::RealSystemCalls();
    calls.readFile = FailingRead;
    return calls;
}

vlexif::SystemCalls FailingCalls::Allocations()
{
    vlexif::SystemCalls calls = vlexif::RealSystemCalls();
    calls.heapAlloc = FailingAlloc;
    return calls;
}

vlexif::SystemCalls FailingCalls::Flushes()
{
    vlexif::SystemCalls calls = vlexif::RealSystemCalls();
    calls.flushFileBuffers = FailingFlush;
    return calls;
}

Status ConvertWith(const vlexif::SystemCalls& calls, const char* versionText, const void* jobRecord,
                   const char* spoolPath, int32_t quality)
{
    vlexif::Os() = calls;
    const Status status = ConvertSpoolToJpeg(versionText, jobRecord, spoolPath, quality);
    vlexif::Os() = vlexif::RealSystemCalls();
    return status;
}

} // namespace vkexf::test
