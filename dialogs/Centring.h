// Where a window goes to sit in the middle of the screen, one axis at a time,
// and whether a remembered place still shows it. Free of Windows so the
// arithmetic can be checked natively.
#pragma once

#include <cstdint>

namespace vlexif {

// The window's new near edge given the screen's extent and the window's
// current near and far edges. The screen extent and the result keep only
// their low 16 bits, signed; the sum between them is 32-bit and halves
// toward zero. A window larger than the screen gets a negative coordinate.
int32_t CentredCoordinate(int32_t screenExtent, int32_t nearEdge, int32_t farEdge);

// A rectangle in screen coordinates, edges as Windows gives them: the right
// and bottom ones just outside.
struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// `window` moved, at its size, to x, y. A far edge past 32 bits is held at
// the largest coordinate: such a place is on no screen either way.
ScreenRect MovedTo(const ScreenRect& window, int32_t x, int32_t y);

// A coordinate stored as GetWindowPlacement gives it, in workspace
// coordinates, which begin at the primary monitor's work area, turned into
// a screen coordinate: with a taskbar on the left or at the top they differ
// by its width or height. Held within 32 bits.
int32_t ScreenFromWorkspace(int32_t coordinate, int32_t workAreaEdge, int32_t monitorEdge);

// Whether more than half of `window`'s area lies inside `area`; an empty
// window never does.
bool LiesMostlyInside(const ScreenRect& window, const ScreenRect& area);

} // namespace vlexif
