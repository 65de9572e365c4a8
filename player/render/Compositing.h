// Pixel arithmetic on premultiplied 0xAARRGGBB colours: covering a row with
// a paint, and combining whole layers with a blend mode.
#pragma once

#include "player/render/Canvas.h"
#include "player/swf/SwfMovie.h"

#include <climits>
#include <cstdint>

namespace velmora::swf {

// dst = src * c + dst * (1 - srcAlpha * c), c = coverage * mask.
void BlendOverSpan(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, const uint8_t* mask,
                   int count);
// The same with one colour for the whole span.
void BlendSolidSpan(uint32_t* dst, uint32_t color, const uint8_t* coverage, const uint8_t* mask,
                    int count);
// dst += src * coverage: fills of one shape meet without a seam.
void AddSpan(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, int count);

// Applies a colour transform to every pixel of `layer`.
void TransformLayer(Canvas& layer, const ColorTransform& cx);

// Puts `layer` onto `target` (same size) within `bounds` with `mode`, through
// `mask` when given (a plane of the target's size).
void CompositeLayer(Canvas& target, const Canvas& layer, BlendMode mode, const CoveragePlane* mask,
                    int x0, int y0, int x1, int y1);
// The same for a layer of its own size whose corner is at (layerX, layerY),
// on the target's rows from `rowFrom` up to `rowTo` only.
void CompositeLayerAt(Canvas& target, const Canvas& layer, int layerX, int layerY, BlendMode mode,
                      const CoveragePlane* mask, int rowFrom = 0, int rowTo = INT_MAX);

}  // namespace velmora::swf
