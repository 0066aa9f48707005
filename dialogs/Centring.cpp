#include "dialogs/Centring.h"

namespace vlexif {

int32_t CentredCoordinate(int32_t screenExtent, int32_t nearEdge, int32_t farEdge)
{
    const uint32_t extent = static_cast<uint32_t>(static_cast<int16_t>(screenExtent));
    // Wraps as the 32-bit machine arithmetic does instead of overflowing.
    const int32_t room =
        static_cast<int32_t>(extent - static_cast<uint32_t>(farEdge) + static_cast<uint32_t>(nearEdge));
    return static_cast<int16_t>(room / 2);
}

} // namespace vlexif
