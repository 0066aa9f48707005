#include "tests/converter/FailingCalls.h"

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

ConverterCalls FailingCalls::Reads()
{
    return {FailingRead, HeapAlloc, FlushFileBuffers};
}

ConverterCalls FailingCalls::Allocations()
{
    return {ReadFile, FailingAlloc, FlushFileBuffers};
}

ConverterCalls FailingCalls::Flushes()
{
    return {ReadFile, HeapAlloc, FailingFlush};
}

} // namespace vkexf::test
