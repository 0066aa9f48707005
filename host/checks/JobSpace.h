// What a page's job takes, known before it starts: a JPEG's largest side,
// the plug-in's spool file in the temporary folder, and the least any JPEG
// of the page takes beside its destination. Platform-free.
#pragma once

#include <cstdint>
#include <string>

namespace vlscan {

// Empty when a JPEG can hold a width x height page; else why not, with the
// remedy, in words for the user. The plug-in refuses such a page too.
std::string PageSizeRefusal(uint32_t width, uint32_t height);

// Bytes of the plug-in's spool file for a width x height page: every format
// is spooled as 24-bit rows behind the 54-byte BMP header. Exact for any
// page PageSizeRefusal lets through (13 GB at most).
uint64_t SpoolFileBytes(uint32_t width, uint32_t height);

// A floor, not an estimate: in a baseline JPEG each 8 x 8 block of each
// component codes at least a DC difference and an end of block, a bit or more
// each, so even a blank grey page takes a byte per 256 pixels. A volume with
// less free can only fail; one with more may still fill up.
uint64_t JpegFloorBytes(uint32_t width, uint32_t height);

// "1.5 MB", "326 bytes": a size for messages, in decimal units.
std::string SizeText(uint64_t bytes);

} // namespace vlscan
