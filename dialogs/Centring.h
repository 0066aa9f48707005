// Where a window goes to sit in the middle of the screen, one axis at a time.
// Free of Windows so the arithmetic can be checked natively.
#pragma once

#include <cstdint>

namespace vlexif {

// The window's new near edge given the screen's extent and the window's
// current near and far edges. The screen extent and the result keep only
// their low 16 bits, signed; the sum between them is 32-bit and halves
// toward zero. A window larger than the screen gets a negative coordinate.
int32_t CentredCoordinate(int32_t screenExtent, int32_t nearEdge, int32_t farEdge);

} // namespace vlexif
