#include "converter/survey/GreyRows.h"

#include <cstring>

namespace vkexf {

namespace {

// Sixteen bytes at a time (one SSE2 register on the shipped build).
typedef uint8_t Bytes16 __attribute__((vector_size(16)));

Bytes16 Load(const uint8_t* at)
{
    Bytes16 v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

// 48 bytes hold 16 whole pixels. Comparing each byte with the next one,
// only a pixel's B-G and G-R pairs count; the R-B pair across pixels does not.
constexpr int BlockBytes = 48;
Bytes16 PairMask(int lane)
{
    Bytes16 mask = {};
    for (int i = 0; i < 16; ++i) {
        mask[i] = (lane * 16 + i) % 3 == 2 ? 0 : 0xFF;
    }
    return mask;
}

} // namespace

bool BgrRowIsGrey(const uint8_t* row, uint32_t width)
{
    const Bytes16 masks[3] = {PairMask(0), PairMask(1), PairMask(2)};
    const size_t bytes = size_t{width} * 3;
    Bytes16 differ = {};
    size_t at = 0;
    // Each block reads one byte past itself, so it must not be the row's last.
    for (; at + BlockBytes < bytes; at += BlockBytes) {
        for (size_t lane = 0; lane < 3; ++lane) {
            const uint8_t* p = row + at + 16 * lane;
            differ |= (Load(p) ^ Load(p + 1)) & masks[lane];
        }
    }
    uint8_t rest = 0;
    for (; at < bytes; at += 3) {
        rest |= static_cast<uint8_t>((row[at] ^ row[at + 1]) | (row[at + 1] ^ row[at + 2]));
    }
    for (int i = 0; i < 16; ++i) {
        rest |= differ[i];
    }
    return rest == 0;
}

} // namespace vkexf
