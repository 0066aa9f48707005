// Grey, palette and bilevel lines expanded to bottom-up 24-bit BMP rows
// (blue, green, red per pixel, rows padded with zeros). Each writes
// block.lines rows of outStride bytes into a zeroed `out`, reading source
// lines block.bytesPerLine apart. Platform-free.
#pragma once

#include "pixels/HostBlock.h"
#include "pixels/PaletteTable.h"
#include "pixels/SimdLevel.h"

namespace vlexif {

void ExpandGray8Rows(const HostBlock& block, uint8_t* out, uint32_t outStride);
void ExpandIndexed8Rows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* out,
                        uint32_t outStride);
// 16-bit samples stored low byte first: the high byte is the palette index.
void ExpandGray16Rows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* out,
                      uint32_t outStride);
// The left pixel of each byte is its high nibble, as in a 4-bit BMP.
void Expand4BitRows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* out,
                    uint32_t outStride);
// The left pixel of each byte is its most significant bit.
void Expand1BitRows(const HostBlock& block, const PaletteEntry (&table)[PaletteCapacity], uint8_t* out,
                    uint32_t outStride);

// The expansions, and the level whose variant each runs: the fastest up to
// ActiveSimdLevel(), timed on the first call, or the pinned one.
enum class RowExpansion { Gray8, Indexed8, Gray16, FourBit, OneBit };
SimdLevel ChosenSimdLevel(RowExpansion expansion);

} // namespace vlexif
