// Rows of padded gradient colours read from a ramp of kRampSize entries, the
// ramp index stepped along the row in single precision: the plain forms take
// one pixel after another; the fast forms give the very same values, several
// pixels at a time.
#pragma once

#include <cstdint>

namespace velmora::swf {

// Linear: pixel i takes ramp[clamp(v_i, 0, kRampSize - 1) + 0.5 cut to a
// whole index], where v_0 = v and v_i = v_(i-1) + dv, each sum rounded to
// single precision as it is taken.
void PadLinearRowPlain(const uint32_t* ramp, float v, float dv, int count, uint32_t* out);
void PadLinearRow(const uint32_t* ramp, float v, float dv, int count, uint32_t* out);

// Radial: the point (x, y) moves by (sx, sy) a pixel, each sum rounded as
// above; the index runs from sqrt(x * x + y * y) * scale - offset.
struct RadialRowScale {
  float scale, offset;
};
void PadRadialRowPlain(const uint32_t* ramp, RadialRowScale k, float x, float y, float sx, float sy, int count,
                       uint32_t* out);
void PadRadialRow(const uint32_t* ramp, RadialRowScale k, float x, float y, float sx, float sy, int count,
                  uint32_t* out);

}  // namespace velmora::swf
