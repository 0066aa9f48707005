// The disk space a job takes, known before it starts: the plug-in's spool
// file in the temporary folder, and the least any JPEG of the page takes
// beside its destination. Platform-free.
#pragma once

#include <cstdint>
#include <string>

namespace vlscan {

// Bytes of the plug-in's spool file for a width x height page: every format
// is spooled as 24-bit rows behind the 54-byte BMP header. False when the
// page is beyond what a spool file holds (2 GB), which the plug-in refuses.
bool SpoolFileBytes(uint32_t width, uint32_t height, uint64_t& bytes);

// A floor, not an estimate: in a baseline JPEG each 8 x 8 block of each
// component codes at least a DC difference and an end of block, a bit or more
// each, so even a blank grey page takes a byte per 256 pixels. A volume with
// less free can only fail; one with more may still fill up.
uint64_t JpegFloorBytes(uint32_t width, uint32_t height);

// "1.5 MB", "326 bytes": a size for messages, in decimal units.
std::string SizeText(uint64_t bytes);

} // namespace vlscan
