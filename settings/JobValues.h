// The job's stored values as one read of the store found them. Read once at
// the start of every host call and handed down to each step of it, so that a
// block costs one open of the key for all that it reads, and every step of
// one call sees the same job.
#pragma once

#include "settings/SettingsStore.h"

#include <cstdint>

namespace vlexif {

// The names the owner of a job is kept under, beside the job's values.
constexpr char OwnerProcessValue[] = "Owner Process";
constexpr char OwnerStartedValue[] = "Owner Started";

struct JobValues {
    // "ImageFormat": the format code the job's format check stored.
    ValueRead formatRead = ValueRead::State::Absent;
    uint32_t format = 0;
    // "File Type": the layout of a spool file at the image's own depth.
    ValueRead fileTypeRead = ValueRead::State::Absent;
    uint32_t fileType = 0;
    // "TempFile": the spool file's path.
    ValueRead tempPathRead = ValueRead::State::Absent;
    char tempPath[MAX_PATH] = {};
    // "Palette Num" and "Palette", whose length its readers check against
    // the count: up to the whole 256-entry table.
    ValueRead paletteCountRead = ValueRead::State::Absent;
    uint32_t paletteCount = 0;
    ValueRead paletteRead = ValueRead::State::Absent;
    uint32_t paletteBytes = 0;
    uint8_t palette[256 * 4] = {};
    // "Owner Process" and "Owner Started": the process the job belongs to.
    ValueRead ownerIdRead = ValueRead::State::Absent;
    uint32_t ownerId = 0;
    ValueRead ownerStartedRead = ValueRead::State::Absent;
    uint64_t ownerStarted = 0;
};

} // namespace vlexif
