// Turns a pen path into outlines whose non-zero union is the stroke: a band
// per segment plus caps and joins, all wound the same way.
#pragma once

#include "player/Rasterizer.h"
#include "player/SwfMovie.h"

#include <vector>

namespace velmora::swf {

struct StrokeOptions {
  double width = 1;  // in the units of the path
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;
  bool noClose = false;
};

// `points` is the flattened path in its own units; the pen is laid around it
// there and the outlines are taken to pixels by `toPixels`, so a non-uniform
// transform squashes the pen as it squashes the path.
void AddStroke(const std::vector<Point>& points, const StrokeOptions& options, const Matrix& toPixels,
               Rasterizer& out);

}  // namespace velmora::swf
