// The display-object filters the renderer supports (blur, drop shadow, glow,
// colour matrix), applied to a layer in place. Others leave the layer as is.
#pragma once

#include "player/Canvas.h"
#include "player/SwfMovie.h"

namespace velmora::swf {

// `scale` turns the filter's stage pixels into layer pixels.
void ApplyFilter(const Filter& filter, double scale, Canvas& layer);

// Box blur of `passes` rounds with widths in pixels; exposed for tests.
void BoxBlur(Canvas& layer, double widthX, double widthY, int passes);

}  // namespace velmora::swf
