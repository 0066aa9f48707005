// Swaps calls of the plug-in's system-call table for the length of a test.
#pragma once

#include "interface/HostInterface.h"
#include "tests/support/FailureTable.h"
#include "win32/SystemCalls.h"

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

// One row of a failure table (tests/support/FailureTable.h): what fails, how
// the table of calls is made to fail it, and the status the operation must
// then return.
using ArrangedFailure = FailureRow<PluginStatus>;

// Free space available to the caller while set; FreeSpaceUnknown makes the
// query fail. The folder last asked about is kept.
void FakeFreeSpace(uint64_t bytes);
const std::string& FreeSpaceFolder();
// Allocations succeed until this many more have been made, then fail.
void FailAllocationAfter(int successes);
// Writes succeed until this many more have been made; then the next one
// fails, or, with `shortWrite`, reports success but writes one byte less.
void FailWriteAfter(int successes, bool shortWrite = false);
// Seeks succeed until this many more, then fail.
void FailSeekAfter(int successes);
// Files open for reading only; an open for writing fails.
void FailOpenForWriting();
// Every close fails, the handle closed all the same: as a close that could
// not write out what was buffered.
void FailClose();
// Waits between tries on held files are recorded instead of slept.
void RecordWaits();
const std::vector<DWORD>& Waits();
// Opens, creates and deletes fail with `error` for the next `times` calls,
// as while another program holds the file; then they work again.
void HoldFilesFor(int times, DWORD error = ERROR_SHARING_VIOLATION);
// Sizes of the writes made since FailWriteAfter was set.
const std::vector<DWORD>& WriteSizes();

} // namespace vlexif::test
