// One whole spool job (BeginImage and every block) three ways: through the
// plug-in, as (a) a replay of the plug-in's system calls with a memcpy in place
// of its row work, and as (b) a plain sequential write of the same bytes.
#pragma once

#include "bench/spool/BenchHost.h"
#include "pixels/HostBlock.h"
#include "pixels/PaletteTable.h"
#include "tests/support/TestSupport.h"

#include <vector>

namespace vlexif::bench {

struct ImageKind {
    const char* name;
    uint32_t bitsPerPixel;
    uint32_t samplesPerPixel;
    uint32_t colourType;
    uint16_t paletteCount; // entries the host offers; 0 without a palette
    // The plug-in's row kernel for this format, called as the plug-in calls it.
    void (*fillRows)(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* rows,
                     uint32_t stride);
};

// What the replay adds of the plug-in's own work, to show where the plug-in's
// time beyond the replay goes.
struct ReplayExtras {
    bool realRows;    // the format's row kernel in place of the memcpy
    bool pluginReads; // every registry value the plug-in reads per block, not only the needed ones
};

extern const ImageKind Rgb24;
extern const ImageKind Gray8;
extern const ImageKind Indexed8;
extern const ImageKind Bilevel;

class SpoolJob {
public:
    SpoolJob(const ImageKind& kind, int32_t width, int32_t height, int32_t blockLines,
             const test::TestRegistryKey& key);

    // Each returns the job's seconds and leaves neither a file nor a job value behind.
    double ThroughPlugin();
    double Replay(ReplayExtras extras = {});
    double PlainWrite();

private:
    // The values the describe and check-format steps leave for the job.
    void Prepare() const;
    uint32_t PixelAreaSize() const;
    int64_t ExpectedFileSize() const;

    const ImageKind& kind;
    const int32_t width;
    const int32_t height;
    const int32_t blockLines;
    const test::TestRegistryKey& key;
    test::HostRecords host;
    const int32_t sourceBytesPerLine;
    const uint32_t outputStride;
    // One block of host lines, offered again for every block as a host reuses its buffer.
    std::vector<uint8_t> source;
    // One block of output rows: what the replay copies and the plain write writes.
    std::vector<uint8_t> rows;
    std::vector<uint8_t> hostPalette;
    PaletteEntry palette[PaletteCapacity] = {};
};

} // namespace vlexif::bench
