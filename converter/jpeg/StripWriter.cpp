#include "converter/jpeg/StripWriter.h"

#include "converter/files/WholeRuns.h"

#include <cstring>

namespace vkexf {

DWORD StripWriter::Deliver(uint32_t worker, uint32_t strip, const uint8_t* bytes, size_t size)
{
    Slot& slot = slots[worker];
    bool mayWait = false;
    {
        Crew::Hold hold(crew);
        mayWait = written != strip && slot.state == Slot::Empty;
    }
    if (mayWait && SetAside(slot, strip, bytes, size)) {
        return 0;
    }
    if (!WaitForTurn(strip)) {
        return 0;
    }
    if (const DWORD error = Write(bytes, size)) {
        return error;
    }
    return PassTurn();
}

bool StripWriter::SetAside(Slot& slot, uint32_t strip, const uint8_t* bytes, size_t size)
{
    // The slot is empty, so no other worker reads its bytes.
    if (slot.bytes.Size() < size && !slot.bytes.Allocate(size + size / 4)) {
        return false;
    }
    std::memcpy(slot.bytes.Address(), bytes, size);
    Crew::Hold hold(crew);
    if (written == strip || crew.Stopped()) {
        return false;
    }
    slot.state = Slot::Waiting;
    slot.strip = strip;
    slot.size = size;
    return true;
}

bool StripWriter::WaitForTurn(uint32_t strip)
{
    Crew::Hold hold(crew);
    while (!crew.Stopped() && written != strip) {
        hold.Wait();
    }
    return !crew.Stopped();
}

DWORD StripWriter::PassTurn()
{
    DWORD error = 0;
    for (Slot* next = Advance(nullptr); next; next = Advance(next)) {
        // Written without the lock: the slot is claimed.
        error = Write(next->bytes.Address(), next->size);
        if (error) {
            break;
        }
    }
    crew.WakeAll();
    return error;
}

StripWriter::Slot* StripWriter::Advance(Slot* done)
{
    Crew::Hold hold(crew);
    if (done) {
        done->state = Slot::Empty;
    }
    ++written;
    for (Slot& slot : slots) {
        if (slot.state == Slot::Waiting && slot.strip == written) {
            slot.state = Slot::Writing;
            return &slot;
        }
    }
    return nullptr;
}

DWORD StripWriter::Write(const uint8_t* bytes, size_t size)
{
    if (const DWORD error = WriteRun(file, bytes, size)) {
        return error;
    }
    end += size;
    return 0;
}

} // namespace vkexf
