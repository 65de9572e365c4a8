// Bilinear sampling of premultiplied 0xAARRGGBB texels in whole numbers.
//
// A sample point is given in texels, in 32.32 fixed point, as the point
// less half a texel (so the whole part is the texel up and to the left of
// it) and rounded to the weights' grid: 1/16384 of a texel. Its four texels
// are mixed with 14-bit weights, the upper pair's mix kept to 1/128 of a
// level before the vertical mix, so a channel ends within 0.02 of the exact
// mix at that point, rounded; a point on a texel gives that texel, and one
// half way between two gives their mean rounded up, exactly. Being whole
// numbers, the plain and the vector forms give the same values bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::swf {

constexpr int kSampleWeightBits = 14;

// The fixed-point sample point of texel coordinate `coord` (a pixel centre
// mapped to texels), held within +-2^30 texels (NaN taken as 0).
int64_t FixedSamplePoint(double coord);
// The fixed-point form of a step of `step` texels.
int64_t FixedSampleStep(double step);

// The texel at or before the point, and the weight of the one after it.
inline int64_t SampleTexel(int64_t point) { return point >> 32; }
inline uint32_t SampleWeight(int64_t point) {
  return static_cast<uint32_t>(point >> (32 - kSampleWeightBits)) & ((1u << kSampleWeightBits) - 1);
}

// p00 p10 on the upper row, p01 p11 below; wx, wy the weights of p10 and
// p01 (0 to 2^14 - 1).
uint32_t MixTexels(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t wx, uint32_t wy);

// `count` samples of a picture `width` texels wide, from the point (u, v)
// on, moving by (du, dv) a sample. Every sample's four texels must lie
// inside the picture. The plain form mixes one sample at a time; the fast
// form gives the same values.
void BilinearRowPlain(const uint32_t* texels, size_t width, int64_t u, int64_t v, int64_t du, int64_t dv,
                      int count, uint32_t* out);
void BilinearRow(const uint32_t* texels, size_t width, int64_t u, int64_t v, int64_t du, int64_t dv, int count,
                 uint32_t* out);

// Of the samples i = 0 .. count-1 at start + i * step, the run [begin, end)
// whose texel lies in [0, last]: where a sample and the one after it lie
// inside a picture whose last texel is `last` + 1. Empty when none does.
struct SampleRun {
  int begin = 0, end = 0;
};
SampleRun SamplesWithin(int64_t start, int64_t step, int64_t last, int count);

}  // namespace velmora::swf
