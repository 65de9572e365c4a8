// A shape's records turned into what the renderer draws: for each style
// group, the edges bounding each fill (oriented so that the fill lies on one
// side) and the pen paths of each line style.
#pragma once

#include "player/swf/SwfMovie.h"

#include <vector>

namespace velmora::swf {

struct Edge {
  Point from, control, to;
  bool curve = false;
};

struct StrokePath {
  std::vector<Edge> edges;  // contiguous: each starts where the previous ends
};

struct FillGeometry {
  FillStyle style;
  std::vector<Edge> edges;  // closed loops, in no particular order
};

struct LineGeometry {
  LineStyle style;
  std::vector<StrokePath> paths;
};

// Styles introduced by a record start a group drawn above the earlier ones;
// in a group, fills are drawn before lines.
struct StyleGroup {
  std::vector<FillGeometry> fills;
  std::vector<LineGeometry> lines;
};

// How far a shape's drawing reaches in its own units: the box of its edges'
// points (the curves' control points too, which hold the curves), and how
// far its widest pen reaches past its path.
struct ShapeExtent {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty = true;
  double penReach = 0;
  bool hasLines = false;  // a pen may be drawn a pixel wide however thin it is
};

struct ShapeGeometry {
  Rect bounds;
  bool nonZeroWinding = false;
  std::vector<StyleGroup> groups;
  ShapeExtent extent;
};

ShapeGeometry BuildGeometry(const Shape& shape);

// The morph shape at `ratio` (0 start, 65535 end), as a plain shape.
Shape InterpolateMorph(const MorphShape& morph, uint16_t ratio);

}  // namespace velmora::swf
