// Bilinear sampling of premultiplied 0xAARRGGBB texels: the mix of the four
// texels around a point, channel by channel in double precision, rounded to
// the nearest whole value; and rows of such samples along a line.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::swf {

// p00 p10 on the upper row, p01 p11 below; fx, fy in 0..1 towards p10, p01.
uint32_t Lerp4(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, double fx, double fy);

// `count` samples of a `width` texels wide picture from (gx, gy) on, the
// point moving by (stepX, stepY) per sample; (gx, gy) is left past the last.
// Every sample's four texels must lie inside the picture. The plain form
// calls Lerp4 for each; the fast form gives the very same values.
void BilinearRowPlain(const uint32_t* texels, size_t width, double& gx, double& gy, double stepX, double stepY,
                      int count, uint32_t* out);
void BilinearRow(const uint32_t* texels, size_t width, double& gx, double& gy, double stepX, double stepY,
                 int count, uint32_t* out);

}  // namespace velmora::swf
