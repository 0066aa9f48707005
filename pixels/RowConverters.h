// Turn one block of host lines into bottom-up BMP rows at the spool depth.
// Each writes block.lines rows of outStride bytes into a zeroed `out`, reading
// source lines `sourceDistance` bytes apart. Platform-free.
#pragma once

#include "pixels/HostBlock.h"
#include "pixels/SimdLevel.h"

namespace vlexif {

// Red, green, blue bytes to the BMP's blue, green, red.
void SwapRgb24Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride);
// 16-bit samples stored low byte first: keep the high byte, reorder to BGR.
void ReduceRgb48Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride);
void ReduceGray16Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride);
// Whole rows of outStride bytes, unchanged: 8-, 4- and 1-bit lines.
void CopyRows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride);

// The converters with variants, and the level whose variant each runs: the
// fastest up to ActiveSimdLevel(), timed on the first call, or the pinned one.
enum class RowConversion { SwapRgb24, ReduceRgb48, ReduceGray16 };
SimdLevel ChosenSimdLevel(RowConversion conversion);

} // namespace vlexif
