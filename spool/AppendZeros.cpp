#include "spool/AppendZeros.h"

#include "spool/GlobalBlock.h"

namespace vlexif {

PluginStatus AppendZeros(SpoolFile& file, uint64_t count)
{
    uint64_t remaining = count;
    for (;;) {
        const auto chunk = static_cast<uint32_t>(remaining > PrefillChunkSize ? PrefillChunkSize : remaining);
        GlobalBlock zeros;
        if (!zeros.Allocate(chunk)) {
            return StatusNoMemory;
        }
        if (file.Write(chunk, zeros.Address()) != StatusOk) {
            return StatusWriteFailed;
        }
        remaining -= chunk;
        if (remaining == 0) {
            return StatusOk;
        }
    }
}

} // namespace vlexif
