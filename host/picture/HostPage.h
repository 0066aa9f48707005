// A whole scanned page in one host format: the lines as the host hands them
// to the plug-in, the palette it sends with them, and the picture the
// plug-in should make of both. Platform-free.
#pragma once

#include "host/picture/Dithering.h"
#include "host/picture/HostFormat.h"
#include "host/picture/Palettes.h"
#include "host/picture/SourceImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vlscan {

struct HostPage {
    HostFormat format;
    uint32_t width;
    uint32_t height;
    uint32_t bytesPerLine;
    std::vector<uint8_t> bytes; // height lines of bytesPerLine, top line first
    Palette palette;            // entry i has index i; empty for RGB

    const uint8_t* Line(uint32_t y) const { return bytes.data() + static_cast<size_t>(y) * bytesPerLine; }
};

// The dithering a format gets when the user asks for none in particular:
// diffusion for 1-bit formats, ordered for the other palette formats.
Dither EffectiveDither(HostFormat format, Dither requested);

// Converts the picture, reading its lines top-down once; `dither` applies to
// the palette and bilevel formats, Diffusion to 1-bit formats only (others
// treat it as Ordered). Throws ImageLoadError when the page could never be
// held, std::bad_alloc when there is no memory for it now, and
// ReadInterrupted when `stop`, asked before every line, says so.
HostPage BuildHostPage(SourceImage& image, HostFormat format, Dither dither, const StopCheck& stop);

// Line y of the 8-bit RGB picture that the plug-in should hand the converter
// for this page: palette colours looked up, 16-bit samples cut to their high
// byte. `rgb` holds 3 bytes per pixel.
void RenderReferenceLine(const HostPage& page, uint32_t y, uint8_t* rgb);

// The whole of that picture as an 8-bit PPM, a line at a time. False when
// the file could not be written.
[[nodiscard]] bool WriteReference(std::FILE* file, const HostPage& page);

} // namespace vlscan
