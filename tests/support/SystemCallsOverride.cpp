#include "tests/support/SystemCallsOverride.h"

#include "spool/FreeSpace.h"

namespace vlexif::test {

namespace {

constexpr size_t Kinds = size_t(Call::HeapAlloc) + 1;
LONG made[Kinds] = {};
LONG failFrom[Kinds] = {};
DWORD failure[Kinds] = {};
LONG64 bytesRead = 0;
std::vector<DWORD> writeSizes;

uint64_t fakeFree = 0;
std::string freeSpaceFolder;
std::vector<DWORD> waits;
int holdsLeft = 0;
DWORD holdError = 0;

// Counts the call; true when it is to fail.
bool Fails(Call call)
{
    const auto kind = size_t(call);
    const LONG n = InterlockedIncrement(&made[kind]);
    return failFrom[kind] && n >= failFrom[kind];
}

DWORD ErrorOf(Call call)
{
    return failure[size_t(call)];
}

BOOL WINAPI CountedRead(HANDLE file, LPVOID data, DWORD bytes, LPDWORD read, LPOVERLAPPED at)
{
    if (!Fails(Call::Read)) {
        const BOOL done = RealSystemCalls().readFile(file, data, bytes, read, at);
        InterlockedAdd64(&bytesRead, done ? *read : 0);
        return done;
    }
    if (ErrorOf(Call::Read) == ShortTransfer) {
        return RealSystemCalls().readFile(file, data, bytes / 2, read, at);
    }
    *read = 0;
    SetLastError(ErrorOf(Call::Read));
    return FALSE;
}

BOOL WINAPI CountedWrite(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written, LPOVERLAPPED at)
{
    writeSizes.push_back(bytes);
    if (!Fails(Call::Write)) {
        return RealSystemCalls().writeFile(file, data, bytes, written, at);
    }
    if (ErrorOf(Call::Write) == ShortTransfer && bytes > 0) {
        return RealSystemCalls().writeFile(file, data, bytes - 1, written, at);
    }
    *written = 0;
    SetLastError(ErrorOf(Call::Write));
    return FALSE;
}

BOOL WINAPI CountedSeek(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method)
{
    if (!Fails(Call::Seek)) {
        return RealSystemCalls().setFilePointerEx(file, distance, position, method);
    }
    SetLastError(ErrorOf(Call::Seek));
    return FALSE;
}

BOOL WINAPI CountedFlush(HANDLE file)
{
    if (!Fails(Call::Flush)) {
        return RealSystemCalls().flushFileBuffers(file);
    }
    SetLastError(ErrorOf(Call::Flush));
    return FALSE;
}

BOOL WINAPI CountedClose(HANDLE handle)
{
    const BOOL closed = RealSystemCalls().closeHandle(handle);
    if (!Fails(Call::Close)) {
        return closed;
    }
    SetLastError(ErrorOf(Call::Close));
    return FALSE;
}

HGLOBAL WINAPI CountedGlobalAlloc(UINT flags, SIZE_T bytes)
{
    return Fails(Call::GlobalAlloc) ? nullptr : RealSystemCalls().globalAlloc(flags, bytes);
}

LPVOID WINAPI CountedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    return Fails(Call::HeapAlloc) ? nullptr : RealSystemCalls().heapAlloc(heap, flags, bytes);
}

void WINAPI RecordWait(DWORD milliseconds)
{
    waits.push_back(milliseconds);
}

bool Held()
{
    if (holdsLeft <= 0) {
        return false;
    }
    --holdsLeft;
    SetLastError(holdError);
    return true;
}

HANDLE WINAPI HeldCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD creation,
                             DWORD flags, HANDLE model)
{
    return Held() ? INVALID_HANDLE_VALUE
                  : RealSystemCalls().createFileA(path, access, share, security, creation, flags, model);
}

BOOL WINAPI HeldDeleteFile(LPCSTR path)
{
    return Held() ? FALSE : RealSystemCalls().deleteFileA(path);
}

BOOL WINAPI FakeDiskFreeSpaceEx(LPCSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER, PULARGE_INTEGER)
{
    freeSpaceFolder = folder;
    if (fakeFree == FreeSpaceUnknown) {
        return FALSE;
    }
    available->QuadPart = fakeFree;
    return TRUE;
}

HANDLE WINAPI ReadersOnlyCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD creation, DWORD flags, HANDLE model)
{
    if (access & GENERIC_WRITE) {
        return INVALID_HANDLE_VALUE;
    }
    return RealSystemCalls().createFileA(path, access, share, security, creation, flags, model);
}

} // namespace

void FailCall(Call call, LONG nth, DWORD error)
{
    made[size_t(call)] = 0;
    failFrom[size_t(call)] = nth;
    failure[size_t(call)] = error;
    SystemCalls& os = Os();
    switch (call) {
    case Call::Read:
        bytesRead = 0;
        os.readFile = CountedRead;
        break;
    case Call::Write:
        writeSizes.clear();
        os.writeFile = CountedWrite;
        break;
    case Call::Seek:
        os.setFilePointerEx = CountedSeek;
        break;
    case Call::Flush:
        os.flushFileBuffers = CountedFlush;
        break;
    case Call::Close:
        os.closeHandle = CountedClose;
        break;
    case Call::GlobalAlloc:
        os.globalAlloc = CountedGlobalAlloc;
        break;
    case Call::HeapAlloc:
        os.heapAlloc = CountedHeapAlloc;
        break;
    }
}

LONG CallsMade(Call call)
{
    return made[size_t(call)];
}

LONG64 BytesRead()
{
    return bytesRead;
}

const std::vector<DWORD>& WriteSizes()
{
    return writeSizes;
}

void FakeFreeSpace(uint64_t bytes)
{
    fakeFree = bytes;
    freeSpaceFolder.clear();
    Os().getDiskFreeSpaceExA = FakeDiskFreeSpaceEx;
}

const std::string& FreeSpaceFolder()
{
    return freeSpaceFolder;
}

void FailOpenForWriting()
{
    Os().createFileA = ReadersOnlyCreateFile;
}

void HoldFilesFor(int times, DWORD error)
{
    holdsLeft = times;
    holdError = error;
    Os().createFileA = HeldCreateFile;
    Os().deleteFileA = HeldDeleteFile;
}

void RecordWaits()
{
    waits.clear();
    Os().sleep = RecordWait;
}

const std::vector<DWORD>& Waits()
{
    return waits;
}

} // namespace vlexif::test
