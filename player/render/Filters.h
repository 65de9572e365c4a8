// The display-object filters the renderer supports (blur, drop shadow, glow,
// bevel, the gradient glow and bevel, colour matrix), applied to a layer in
// place. Convolution leaves the layer as is.
#pragma once

#include "player/display/Timeline.h"
#include "player/render/Canvas.h"
#include "player/swf/SwfMovie.h"

namespace velmora::swf {

// `scale` turns the filter's stage pixels into layer pixels: a blur's width
// beyond its first pixel grows with it. Blur boxes of fractional or even
// width weigh their end pixels in part, at any quality.
void ApplyFilter(const Filter& filter, double scale, Canvas& layer);

// A rectangle of device pixels, x1 and y1 exclusive.
struct PixelRect {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// Where `object`'s content lands under `matrix` (its parent's), before filters.
PixelRect ContentBounds(const DisplayObject& object, const Matrix& matrix);
// The same under `full`, the object's whole transform with its own matrix.
PixelRect OwnBounds(const DisplayObject& object, const Matrix& full);

// How far `filters` reach past the content on each side, in layer pixels.
PixelRect FilterReach(const std::vector<Filter>& filters, double scale);

// Box blur of `passes` rounds with widths in pixels, centred on each pixel;
// exposed for tests.
void BoxBlur(Canvas& layer, double widthX, double widthY, int passes, bool smooth);

}  // namespace velmora::swf
