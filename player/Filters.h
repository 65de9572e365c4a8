// The display-object filters the renderer supports (blur, drop shadow, glow,
// colour matrix), applied to a layer in place. Others leave the layer as is.
#pragma once

#include "player/Canvas.h"
#include "player/SwfMovie.h"

namespace velmora::swf {

// `scale` turns the filter's stage pixels into layer pixels. `smooth` (high
// quality) lets blur boxes of fractional or even width weigh their end
// pixels in part; otherwise only the pixels they cover whole count.
void ApplyFilter(const Filter& filter, double scale, bool smooth, Canvas& layer);

// Box blur of `passes` rounds with widths in pixels, centred on each pixel;
// exposed for tests.
void BoxBlur(Canvas& layer, double widthX, double widthY, int passes, bool smooth);

}  // namespace velmora::swf
