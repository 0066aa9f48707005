// A new file that takes a destination's place only once it is complete. It
// is written under a temporary name beside the destination, marked for
// deletion right after it is created, so that it goes with the last handle
// even when the process is killed; one left by a kill before the mark is
// removed by the next conversion into that folder. Commit takes the mark off
// and renames it over the destination through the same handle. Until then,
// and on any failure, the destination is untouched. When the destination
// still cannot be replaced after the retries (another program keeps it
// open), the complete new file is kept beside it instead, so that the
// scanned page is never lost.
#pragma once

#include "converter/base/ConverterStatus.h"
#include "converter/files/ExtendedPath.h"
#include "win32/HeldFiles.h"
#include "win32/UniqueHandle.h"

namespace vkexf {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Checks that the destination can be replaced and creates the temporary
    // file. `destination` and `waits` must outlive this object.
    Status Create(const char* destination, vlexif::HeldFileWaits& waits);

    // Open for reading too: the encoder moves what it wrote to make room.
    HANDLE Handle() const { return file.Get(); }

    // Moves the file over the destination, flushed first when it replaces
    // one. StatusSavedBeside when it was kept beside the destination instead.
    Status Commit();

private:
    // A read-only file or a folder in the destination's place: Windows would
    // refuse to replace it, Wine would not, so the converter asks itself.
    // `exists` says whether there is a file to replace.
    Status CheckReplaceable(bool& exists) const;
    // A process killed between creating its temporary file and marking it
    // leaves the file behind; the next conversion into the folder takes it.
    void RemoveAbandoned();
    [[nodiscard]] bool MarkForDeletion(bool remove) const;
    [[nodiscard]] bool RenameTo(const wchar_t* path, bool replace) const;
    // The destination's name with " (new)", " (new 2)", … before its
    // extension, whichever is free first; false when none could be taken.
    [[nodiscard]] bool RenameBeside(wchar_t* kept) const;
    Status KeepBeside(DWORD replaceError);

    const char* destination = nullptr;
    vlexif::HeldFileWaits* waits = nullptr;
    ExtendedPath target = {};
    wchar_t temporary[MaxExtendedPath] = {};
    vlexif::UniqueFile file;
    bool unmarked = false; // the file outlives its handle: delete it by name
};

} // namespace vkexf
