// Recognising a spool file by its first bytes and its size. Platform-free.
#pragma once

#include <cstdint>

namespace vlexif {

// The bytes read: the file header and the bitmap header up to the image's
// size, which no block or palette write can reach in either layout, whatever
// the stored format or file type has become since the file was made.
constexpr uint32_t SpoolHeadBytes = 26;

// True when `head` is the start of a header that BeginImage writes, in either
// layout, for some spooled format, and the sizes it states add up to exactly
// `fileSize`.
bool IsSpoolHead(const uint8_t (&head)[SpoolHeadBytes], uint32_t fileSize);

} // namespace vlexif
