// Turning one row's accumulated coverage into the 0..255 values handed on:
// each pixel's own partial cover plus the running sum of the starts and ends
// of the runs that pass over it whole. Both forms clear the accumulators.
#pragma once

#include <cstdint>

namespace velmora::swf {

// Pixel by pixel, in the order of the row.
void ResolveCoverageRow(float* cover, float* runs, int count, uint8_t* out);

// Four pixels at a time where the processor allows. The running sum is added
// up in another order, which gives the same values only while every partial
// sum is exact: the caller ensures that the row's entries are multiples of
// 1/16 whose magnitudes add up to less than kExactRowSum.
void ResolveCoverageRowFast(float* cover, float* runs, int count, uint8_t* out);

// Below this, sums of multiples of 1/16 stay exact in a float (24 bits).
constexpr float kExactRowSum = 1 << 18;

}  // namespace velmora::swf
