// Spool files that outlived their job because another program held them
// when the job ended (a backup client or indexer that keeps a file open
// without sharing deletion). Each is remembered under the job's key with
// the size and last write time it had, and removed at the next job's begin,
// finish or abort; a file that has changed since is no longer ours and is
// forgotten, never deleted.
#pragma once

#include "settings/SettingsStore.h"
#include "win32/HeldFiles.h"

#include <windows.h>

namespace vlexif {

class LeftoverSpools {
public:
    // At most this many are remembered; the oldest is forgotten first, so
    // that a host whose files are always held cannot grow the key for ever.
    static constexpr uint32_t Capacity = 8;

    explicit LeftoverSpools(const SettingsStore& store) : settings(store) {}

    // Deletes `path`, a spool file of this plug-in's; one that stays because
    // another program holds it is remembered. False when it could not go.
    bool Delete(const char* path, HeldFileWaits& waits) const;
    // Deletes every remembered file that is still the one remembered. Each
    // is tried once, never waited for: one still held is tried again at the
    // next chance, so a file some program keeps open for good costs a call
    // nothing.
    void RemoveRemembered() const;

private:
    struct Record;
    void Remember(const char* path) const;

    const SettingsStore& settings;
};

} // namespace vlexif
