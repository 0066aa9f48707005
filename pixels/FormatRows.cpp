#include "pixels/FormatRows.h"

#include "pixels/PixelFormat.h"
#include "pixels/RowConverters.h"
#include "pixels/RowExpansion.h"

namespace vlexif {

namespace {

// The copy converters move whole output strides; 8-bit palette lines lie
// `width` bytes apart.
constexpr NativeConversion NativeConversions[] = {
    {FormatRgb24, {SourceWalk::ByStride, 24, 24, false}, SwapRgb24Rows},
    {FormatRgb48, {SourceWalk::ByBytesPerLine, 0, 48, false}, ReduceRgb48Rows},
    {FormatGray8, {SourceWalk::ByStride, 8, 8, true}, CopyRows},
    {FormatGray16, {SourceWalk::ByBytesPerLine, 0, 16, false}, ReduceGray16Rows},
    {FormatIndexed8, {SourceWalk::ByWidth, 8, 8, true}, CopyRows},
    {FormatIndexed4, {SourceWalk::ByStride, 4, 4, true}, CopyRows},
    {FormatIndexed1, {SourceWalk::ByStride, 1, 1, true}, CopyRows},
    {FormatBilevel, {SourceWalk::ByStride, 1, 1, true}, CopyRows},
};

void ExpandGray8(const HostBlock& block, const PaletteEntry (&)[PaletteCapacity], uint8_t* rows, uint32_t stride)
{
    ExpandGray8Rows(block, rows, stride);
}

// Each expansion reads the first bits of every line, lines bytesPerLine apart.
constexpr SourceWalk LineOf(uint32_t bitsPerPixel)
{
    return {SourceWalk::ByBytesPerLine, 0, bitsPerPixel, false};
}

constexpr Expansion Expansions[] = {
    {FormatGray8, LineOf(8), false, ExpandGray8},       {FormatIndexed8, LineOf(8), true, ExpandIndexed8Rows},
    {FormatGray16, LineOf(16), true, ExpandGray16Rows}, {FormatIndexed4, LineOf(4), true, Expand4BitRows},
    {FormatIndexed1, LineOf(1), true, Expand1BitRows},  {FormatBilevel, LineOf(1), true, Expand1BitRows},
};

} // namespace

const NativeConversion* FindNativeConversion(uint32_t code)
{
    return FindFormatRow(NativeConversions, code);
}

const Expansion* FindExpansion(uint32_t code)
{
    return FindFormatRow(Expansions, code);
}

} // namespace vlexif
