// Turns a pen path into outlines whose non-zero union is the stroke: a band
// per segment plus caps and joins, all wound the same way.
#pragma once

#include "player/render/Rasterizer.h"
#include "player/swf/SwfMovie.h"

#include <vector>

namespace velmora::swf {

struct StrokeOptions {
  double width = 1;  // in the units of the path
  // How far a round join or cap may stray inside its circle, in path units.
  double tolerance = 0.1;
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;
  bool noClose = false;
};

// A point of a flattened pen path. Where it only cuts a curve into lines the
// path runs on smoothly, and the pieces meet in a mitre whatever the join,
// unless the path turns sharply there.
struct PenPoint {
  Point at;
  bool cutsCurve = false;
};

// `points` is the flattened path in its own units; the pen is laid around it
// there and the outlines are taken to pixels by `toPixels`, so a non-uniform
// transform squashes the pen as it squashes the path.
void AddStroke(const std::vector<PenPoint>& points, const StrokeOptions& options, const Matrix& toPixels,
               Rasterizer& out);

}  // namespace velmora::swf
