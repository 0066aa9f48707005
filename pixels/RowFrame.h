// The walk shared by every row operation: source lines top down, output rows
// bottom up, so the block's first line becomes the buffer's last row.
#pragma once

#include "pixels/HostBlock.h"

#include <cstddef>
#include <cstdint>

namespace vlexif {

template <class FillRow>
void ForEachRowBottomUp(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride,
                        FillRow fillRow)
{
    for (int32_t r = 0; r < block.lines; ++r) {
        const uint8_t* source = block.data + static_cast<size_t>(r) * sourceDistance;
        uint8_t* row = out + static_cast<size_t>(block.lines - 1 - r) * outStride;
        fillRow(source, row);
    }
}

} // namespace vlexif
