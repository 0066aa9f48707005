#include "spool/JobOwner.h"

#include "win32/ProcessIdentity.h"

namespace vlexif {

namespace {

constexpr char ProcessValue[] = "Owner Process";
constexpr char StartedValue[] = "Owner Started";

// False when no owner is stored, or only part of one.
[[nodiscard]] bool ReadOwner(const SettingsStore& settings, ProcessIdentity& owner)
{
    owner = {};
    return settings.ReadDword(ProcessValue, owner.id) &&
        settings.ReadBinary(StartedValue, &owner.started, sizeof owner.started);
}

bool IsSelf(const ProcessIdentity& owner, const ProcessIdentity& self)
{
    return owner.id == self.id && owner.started == self.started;
}

} // namespace

bool JobOwner::HeldByAnother() const
{
    ProcessIdentity owner;
    return ReadOwner(settings, owner) && !IsSelf(owner, CurrentProcessIdentity()) && IsRunning(owner);
}

bool JobOwner::Claim() const
{
    ProcessIdentity owner;
    const ProcessIdentity self = CurrentProcessIdentity();
    const bool stored = ReadOwner(settings, owner);
    if (stored && IsSelf(owner, self)) {
        return true;
    }
    if (stored && IsRunning(owner)) {
        return false;
    }
    // Unkept, the job goes on unguarded, as a job of a host without rivals does.
    static_cast<void>(settings.WriteBinary(StartedValue, &self.started, sizeof self.started));
    static_cast<void>(settings.WriteDword(ProcessValue, self.id));
    return true;
}

void JobOwner::Drop() const
{
    settings.DeleteValue(ProcessValue);
    settings.DeleteValue(StartedValue);
}

} // namespace vlexif
