// The zero pre-fill that gives a new spool file its full length, so every
// later block can be placed by seeking back from the end.
#pragma once

#include "spool/SpoolFile.h"

namespace vlexif {

// Chunks of at most this many bytes, each a fresh block freed before the
// next: memory stays at one chunk however large the image.
constexpr uint32_t PrefillChunkSize = 65535;

// `count` zero bytes at the file's current position. StatusNoMemory when a
// chunk cannot be had (a count of zero never can), StatusWriteFailed when a
// chunk does not reach the file.
PluginStatus AppendZeros(SpoolFile& file, uint64_t count);

} // namespace vlexif
