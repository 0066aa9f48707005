// Recognising a spool file by its first bytes and its size. Platform-free.
#pragma once

#include "interface/SpoolLayout.h"

#include <cstddef>
#include <cstdint>

namespace vlexif {

// The bytes read: the whole core head, which is the file header and the info
// header up to the image's size, and which no block or palette write can reach
// in either layout, whatever the stored format or file type has become since
// the file was made.
constexpr uint32_t SpoolHeadBytes = bmp::CoreHeadSize;
static_assert(SpoolHeadBytes == bmp::FileHeaderSize + offsetof(bmp::InfoHeader, planes));

// True when `head` is the start of a header that BeginImage writes, in either
// layout, for some spooled format, and the sizes its dimensions give add up
// to exactly `fileSize`, which its file size field states (0 past 4 GiB).
bool IsSpoolHead(const uint8_t (&head)[SpoolHeadBytes], uint64_t fileSize);

} // namespace vlexif
