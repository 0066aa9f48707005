#include "dialogs/Centring.h"

#include <algorithm>
#include <cstdint>

namespace vlexif {

namespace {

int32_t HeldSum(int32_t start, int64_t extent)
{
    return static_cast<int32_t>(std::min<int64_t>(start + extent, INT32_MAX));
}

// The length of one axis's overlap, 0 when there is none.
uint64_t Overlap(int32_t nearEdge, int32_t farEdge, int32_t areaNear, int32_t areaFar)
{
    const int64_t length = int64_t{std::min(farEdge, areaFar)} - std::max(nearEdge, areaNear);
    return length > 0 ? static_cast<uint64_t>(length) : 0;
}

} // namespace

int32_t CentredCoordinate(int32_t screenExtent, int32_t nearEdge, int32_t farEdge)
{
    const uint32_t extent = static_cast<uint32_t>(static_cast<int16_t>(screenExtent));
    // Wraps as the 32-bit machine arithmetic does instead of overflowing.
    const int32_t room =
        static_cast<int32_t>(extent - static_cast<uint32_t>(farEdge) + static_cast<uint32_t>(nearEdge));
    return static_cast<int16_t>(room / 2);
}

ScreenRect MovedTo(const ScreenRect& window, int32_t x, int32_t y)
{
    return ScreenRect{x, y, HeldSum(x, int64_t{window.right} - window.left),
                      HeldSum(y, int64_t{window.bottom} - window.top)};
}

int32_t ScreenFromWorkspace(int32_t coordinate, int32_t workAreaEdge, int32_t monitorEdge)
{
    const int64_t screen = int64_t{coordinate} + workAreaEdge - monitorEdge;
    return static_cast<int32_t>(std::clamp<int64_t>(screen, INT32_MIN, INT32_MAX));
}

bool LiesMostlyInside(const ScreenRect& window, const ScreenRect& area)
{
    const uint64_t width = Overlap(window.left, window.right, window.left, window.right);
    const uint64_t height = Overlap(window.top, window.bottom, window.top, window.bottom);
    const uint64_t inside = Overlap(window.left, window.right, area.left, area.right) *
        Overlap(window.top, window.bottom, area.top, area.bottom);
    // Each product fits 64 bits; halving the whole instead of doubling the
    // part keeps it so, and for whole numbers compares alike.
    return inside > width * height / 2;
}

} // namespace vlexif
