// Workers that do one piece of work together, and only what they need for
// that: one lock, held for a scope, and the condition its holders wait on;
// meetings, where each worker waits for the others and the last to arrive
// decides for all; and a stop, by which the first worker to end the work
// early ends it for every other at its next step. What the work shares
// lives with the work, guarded by this lock; the order its results go out
// in is the work's own affair.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vkexf {

class Crew {
public:
    Crew() = default;
    Crew(const Crew&) = delete;
    Crew& operator=(const Crew&) = delete;

    // The crew's lock, held from construction to destruction.
    class Hold {
    public:
        explicit Hold(Crew& crew) : crew(crew) { AcquireSRWLockExclusive(&crew.lock); }
        ~Hold() { ReleaseSRWLockExclusive(&crew.lock); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

        // Lets the lock go until a worker wakes the crew, then holds it
        // again. A wake may come for anything: wait in a loop.
        void Wait() { SleepConditionVariableSRW(&crew.wake, &crew.lock, INFINITE, 0); }

    private:
        Crew& crew;
    };

    // How many workers meet: set before the last of them can arrive at the
    // first meeting.
    void SetSize(uint32_t workers);
    // Wakes every worker that waits.
    void WakeAll() { WakeAllConditionVariable(&wake); }

    // Waits for every worker to arrive; the last, unless the work has
    // stopped, calls `decide` for all, holding the lock. False when the
    // work has stopped.
    template <typename Decide>
    [[nodiscard]] bool Meet(Decide decide);

    // The next of `count` items, `next` the counter the workers share;
    // false once all are taken or the work has stopped.
    [[nodiscard]] bool Take(uint32_t& next, uint32_t count, uint32_t& taken);

    // Ends the work for every worker at its next step and wakes those that
    // wait. True for the first call only: that caller's reason stands, and
    // it alone records it, to be read once the workers have ended.
    bool Stop();
    // Holding the lock, or once the workers have ended.
    bool Stopped() const { return stopped; }

private:
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
    uint32_t size = 0;
    uint32_t arrived = 0;  // at the meeting under way
    uint32_t meetings = 0; // held so far
    bool stopped = false;
};

template <typename Decide>
bool Crew::Meet(Decide decide)
{
    Hold hold(*this);
    const uint32_t meeting = meetings;
    if (++arrived == size) {
        if (!stopped) {
            decide();
        }
        arrived = 0;
        ++meetings;
        WakeAll();
    }
    while (!stopped && meetings == meeting) {
        hold.Wait();
    }
    return !stopped;
}

} // namespace vkexf
