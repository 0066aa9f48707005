#include "spool/RowConverters.h"

#include "spool/RowFrame.h"

#include <cstring>

namespace vlexif {

void SwapRgb24Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride, [width](const uint8_t* s, uint8_t* d) {
        for (int32_t j = 0; j < width; ++j, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    });
}

void ReduceRgb48Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride, [width](const uint8_t* s, uint8_t* d) {
        for (int32_t j = 0; j < width; ++j, s += 6, d += 3) {
            d[0] = s[5];
            d[1] = s[3];
            d[2] = s[1];
        }
    });
}

void ReduceGray16Rows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    const int32_t width = block.width;
    ForEachRowBottomUp(block, sourceDistance, out, outStride, [width](const uint8_t* s, uint8_t* d) {
        for (int32_t j = 0; j < width; ++j) {
            d[j] = s[2 * j + 1];
        }
    });
}

void CopyRows(const HostBlock& block, uint32_t sourceDistance, uint8_t* out, uint32_t outStride)
{
    ForEachRowBottomUp(block, sourceDistance, out, outStride,
                       [outStride](const uint8_t* s, uint8_t* d) { std::memcpy(d, s, outStride); });
}

} // namespace vlexif
