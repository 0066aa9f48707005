#include "spool/JobOwner.h"

#include "win32/ProcessIdentity.h"

namespace vlexif {

namespace {

// False when no owner is stored, or only part of one.
[[nodiscard]] bool ReadOwner(const JobValues& job, ProcessIdentity& owner)
{
    owner = {job.ownerId, job.ownerStarted};
    return job.ownerIdRead && job.ownerStartedRead;
}

bool IsSelf(const ProcessIdentity& owner, const ProcessIdentity& self)
{
    return owner.id == self.id && owner.started == self.started;
}

} // namespace

bool JobOwner::HeldByAnother() const
{
    ProcessIdentity owner;
    return ReadOwner(job, owner) && !IsSelf(owner, CurrentProcessIdentity()) && IsRunning(owner);
}

bool JobOwner::Claim() const
{
    ProcessIdentity owner;
    const ProcessIdentity self = CurrentProcessIdentity();
    const bool stored = ReadOwner(job, owner);
    if (stored && IsSelf(owner, self)) {
        return true;
    }
    if (stored && IsRunning(owner)) {
        return false;
    }
    // Unkept, the job goes on unguarded, as a job of a host without rivals does.
    static_cast<void>(settings.WriteBinary(OwnerStartedValue, &self.started, sizeof self.started));
    static_cast<void>(settings.WriteDword(OwnerProcessValue, self.id));
    job.ownerIdRead = job.ownerStartedRead = ValueRead::State::Found;
    job.ownerId = self.id;
    job.ownerStarted = self.started;
    return true;
}

void JobOwner::Drop() const
{
    settings.DeleteValue(OwnerProcessValue);
    settings.DeleteValue(OwnerStartedValue);
    job.ownerIdRead = job.ownerStartedRead = ValueRead::State::Absent;
}

} // namespace vlexif
