// The one kit that makes the system-call table fail on demand, for the
// plug-in's tests and the converter's alike. A holder puts the real table
// back when it goes, whatever the test swapped in meanwhile, by the
// functions below or by hand.
#pragma once

#include "win32/SystemCalls.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vlexif::test {

class SystemCallsOverride {
public:
    SystemCallsOverride() = default;
    ~SystemCallsOverride() { Reset(); }
    SystemCallsOverride(const SystemCallsOverride&) = delete;
    SystemCallsOverride& operator=(const SystemCallsOverride&) = delete;
    // Every call real again, as between the rows of a failure table.
    void Reset() const { Os() = RealSystemCalls(); }
};

// The calls a test fails by their count.
enum class Call { Read, Write, Seek, Flush, Close, GlobalAlloc, HeapAlloc };

// A read or write failing with this comes back short instead: a read with
// half the bytes asked for, a write one byte less, both reporting success.
constexpr DWORD ShortTransfer = 0;

// From now on the `nth` call of `call` fails with `error`, from whichever
// thread makes it, and so does every later one, as with memory run out or a
// disk gone; 0 fails none and only counts. A failing close closes the
// handle all the same, as one that could not write out what was buffered.
void FailCall(Call call, LONG nth, DWORD error = ERROR_IO_DEVICE);
// Calls of `call` made since FailCall armed it.
LONG CallsMade(Call call);
// Bytes read since the reads were armed, by calls that did not fail.
LONG64 BytesRead();
// Sizes of the writes made since the writes were armed, from one thread.
const std::vector<DWORD>& WriteSizes();

// Free space available to the caller while set; FreeSpaceUnknown makes the
// query fail. The folder last asked about is kept.
void FakeFreeSpace(uint64_t bytes);
const std::string& FreeSpaceFolder();
// Files open for reading only; an open for writing fails.
void FailOpenForWriting();
// Opens, creates and deletes fail with `error` for the next `times` calls,
// as while another program holds the file; then they work again.
void HoldFilesFor(int times, DWORD error = ERROR_SHARING_VIOLATION);
// Waits between tries on held files are recorded instead of slept.
void RecordWaits();
const std::vector<DWORD>& Waits();

} // namespace vlexif::test
