#include "tests/spool/SystemCallsOverride.h"

#include "spool/FreeSpace.h"

namespace vlexif::test {

namespace {

uint64_t fakeFree = 0;
std::string freeSpaceFolder;
int allocationsLeft = 0;
int writesLeft = 0;
bool writeShort = false;
int seeksLeft = 0;
std::vector<DWORD> writeSizes;
std::vector<DWORD> waits;
int holdsLeft = 0;
DWORD holdError = 0;

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

HGLOBAL WINAPI CountedGlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (allocationsLeft-- <= 0) {
        return nullptr;
    }
    return RealSystemCalls().globalAlloc(flags, bytes);
}

BOOL WINAPI CountedWriteFile(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written, LPOVERLAPPED overlapped)
{
    writeSizes.push_back(bytes);
    if (writesLeft-- > 0) {
        return RealSystemCalls().writeFile(file, data, bytes, written, overlapped);
    }
    if (writeShort && bytes > 0) {
        return RealSystemCalls().writeFile(file, data, bytes - 1, written, overlapped);
    }
    *written = 0;
    return FALSE;
}

BOOL WINAPI CountedSetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method)
{
    if (seeksLeft-- > 0) {
        return RealSystemCalls().setFilePointerEx(file, distance, position, method);
    }
    return FALSE;
}

HANDLE WINAPI ReadersOnlyCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD creation, DWORD flags, HANDLE model)
{
    if (access & GENERIC_WRITE) {
        return INVALID_HANDLE_VALUE;
    }
    return RealSystemCalls().createFileA(path, access, share, security, creation, flags, model);
}

BOOL WINAPI LosingCloseHandle(HANDLE handle)
{
    RealSystemCalls().closeHandle(handle);
    return FALSE;
}

} // namespace

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

void FailAllocationAfter(int successes)
{
    allocationsLeft = successes;
    Os().globalAlloc = CountedGlobalAlloc;
}

void FailWriteAfter(int successes, bool shortWrite)
{
    writesLeft = successes;
    writeSizes.clear();
    writeShort = shortWrite;
    Os().writeFile = CountedWriteFile;
}

void FailSeekAfter(int successes)
{
    seeksLeft = successes;
    Os().setFilePointerEx = CountedSetFilePointerEx;
}

void FailOpenForWriting()
{
    Os().createFileA = ReadersOnlyCreateFile;
}

void FailClose()
{
    Os().closeHandle = LosingCloseHandle;
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

void HoldFilesFor(int times, DWORD error)
{
    holdsLeft = times;
    holdError = error;
    Os().createFileA = HeldCreateFile;
    Os().deleteFileA = HeldDeleteFile;
}

const std::vector<DWORD>& WriteSizes()
{
    return writeSizes;
}

} // namespace vlexif::test
