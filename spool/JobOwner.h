// The process a job belongs to, kept with the job's values under the host's
// key. Every process of one host shares that key: two windows or two
// scanners of one program would otherwise write into each other's job, and
// one would hand the other's half-written page to the converter as its own.
#pragma once

#include "settings/SettingsStore.h"

namespace vlexif {

class JobOwner {
public:
    explicit JobOwner(const SettingsStore& store) : settings(store) {}

    // Whether another process that still runs owns the job.
    [[nodiscard]] bool HeldByAnother() const;
    // Makes this process the job's owner unless another process that still
    // runs owns it; false then, with nothing written. A job whose owner is
    // gone is taken over.
    [[nodiscard]] bool Claim() const;
    // The job has ended: no process owns it.
    void Drop() const;

private:
    const SettingsStore& settings;
};

} // namespace vlexif
