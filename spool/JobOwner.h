// The process a job belongs to, kept with the job's values under the host's
// key. Every process of one host shares that key: two windows or two
// scanners of one program would otherwise write into each other's job, and
// one would hand the other's half-written page to the converter as its own.
#pragma once

#include "settings/JobValues.h"
#include "settings/SettingsStore.h"

namespace vlexif {

class JobOwner {
public:
    // The owner as `values` holds it, read with the job's other values.
    JobOwner(const SettingsStore& store, JobValues& values) : settings(store), job(values) {}

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
    JobValues& job;
};

} // namespace vlexif
