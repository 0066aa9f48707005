// The limits of what the converter can write, for the plug-in, hosts and
// the converter's own platform-free parts. Platform-free.
#pragma once

#include <cstdint>

// The longest side, in pixels, of a page the converter can write: libjpeg's
// own limit, a little under the 65,535 a JPEG frame header could state. The
// plug-in and hosts refuse a larger page before it is scanned.
constexpr uint32_t VkExfMaxImageSide = 65500;
