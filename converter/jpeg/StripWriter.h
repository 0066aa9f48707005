// The page's strips into its file in page order, whichever worker
// compressed which. A worker whose strip is next writes it, then every
// strip set aside that follows it; a worker whose strip is not next sets a
// copy aside in its own slot and goes on to its next strip, or, when its
// slot still holds one, waits for its turn. So one worker at a time writes
// the file, and no strip goes in before those above it.
#pragma once

#include "converter/base/Crew.h"
#include "converter/base/HeapBuffer.h"
#include "converter/base/StripPlan.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vkexf {

class StripWriter {
public:
    // `crew`'s lock guards the order; `file` is written at its file pointer.
    StripWriter(Crew& crew, HANDLE file) : crew(crew), file(file) {}
    StripWriter(const StripWriter&) = delete;
    StripWriter& operator=(const StripWriter&) = delete;

    // Puts strip `strip`, `size` bytes compressed by worker `worker`, into
    // the file or aside. 0 also when the work has stopped meanwhile;
    // otherwise the error of a write that failed, for the caller to stop
    // the work with.
    [[nodiscard]] DWORD Deliver(uint32_t worker, uint32_t strip, const uint8_t* bytes, size_t size);

    // The file's size, once the workers have ended.
    uint64_t End() const { return end; }

private:
    // A strip compressed before the strips above it were in the file.
    struct Slot {
        enum State { Empty, Waiting, Writing };
        State state = Empty;
        uint32_t strip = 0;
        HeapBuffer bytes; // the worker's own while the slot is empty
        size_t size = 0;
    };

    // False when the strip's turn came meanwhile, the work stopped or no
    // memory could be had for the copy: then the worker waits.
    [[nodiscard]] bool SetAside(Slot& slot, uint32_t strip, const uint8_t* bytes, size_t size);
    [[nodiscard]] bool WaitForTurn(uint32_t strip);
    // Counts the strip written, then writes those set aside that follow.
    [[nodiscard]] DWORD PassTurn();
    // Counts a strip written, `done` the slot it came from if any, and
    // claims the slot that holds the next strip, if any does.
    Slot* Advance(Slot* done);
    [[nodiscard]] DWORD Write(const uint8_t* bytes, size_t size);

    Crew& crew;
    HANDLE file;
    uint32_t written = 0; // strips in the file
    Slot slots[MaxWorkers];
    uint64_t end = 0; // kept by the worker whose turn it is
};

} // namespace vkexf
