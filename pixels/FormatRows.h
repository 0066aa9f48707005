// How each stored format's host lines become rows: at the native depth of its
// spool file, or expanded to 24 bits for the converter. Platform-free.
#pragma once

#include "pixels/HostBlock.h"
#include "pixels/PaletteTable.h"

#include <cstdint>

namespace vlexif {

struct NativeConversion {
    uint32_t code;
    SourceWalk walk;
    void (*convert)(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride);
};

struct Expansion {
    uint32_t code;
    SourceWalk walk;
    bool usesPalette; // the grey expansion reads none
    void (*expand)(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* out,
                   uint32_t outStride);
};

// The entry for a stored format, or null for a format without one.
const NativeConversion* FindNativeConversion(uint32_t code);
// Grey, palette and bilevel formats only: RGB is 24-bit already.
const Expansion* FindExpansion(uint32_t code);

} // namespace vlexif
