// The padded radial gradient row eight pixels at a time, for processors
// with AVX2: the same single-precision steps and operations as the plain
// row, so it gives the very same colours.
#pragma once

#include "player/render/GradientRow.h"

#include <cstdint>

namespace velmora::swf {

// As PadRadialRow over the row's first whole eights; returns how many pixels
// it did (a multiple of eight) and leaves (x, y) at the next pixel's point, as
// the plain row's stepping would. The values must be finite. Call only where
// HasAvx2().
int PadRadialRowAvx2(const uint32_t* ramp, RadialRowScale k, float& x, float& y, float sx, float sy, int count,
                     uint32_t* out);

}  // namespace velmora::swf
