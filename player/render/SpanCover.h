// Covering a span of a target row with a paint, through the span's coverage
// and an optional mask: what every fill of a shape comes down to.
#pragma once

#include "player/render/Paint.h"

#include <cstdint>
#include <vector>

namespace velmora::swf {

// dst = paint * c + dst * (1 - paintAlpha * c), c = coverage * mask, over
// the `count` pixels of row `y` from `x` on. `opaque` tells that every colour
// of the paint is opaque (Paint::Opaque); `scratch` is room the call may use.
void CoverSpan(const Paint& paint, bool opaque, int y, int x, int count, const uint8_t* coverage,
               const uint8_t* mask, uint32_t* dst, std::vector<uint32_t>& scratch);

}  // namespace velmora::swf
