// The blends of Compositing eight pixels at a time, for processors with
// AVX2: the same integer arithmetic as the four-pixel and single-pixel
// forms, so every form gives the same values.
#pragma once

#include <cstdint>

namespace velmora::swf {

// As BlendOverSpan, over the first whole eights of the span; returns how
// many pixels it did (a multiple of eight). Call only where HasAvx2().
int BlendOverSpanAvx2(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, const uint8_t* mask, int count);

}  // namespace velmora::swf
