// Quadratic curves, the only curves of the movie format, cut into lines.
#pragma once

#include "player/SwfTypes.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {

inline Point QuadPoint(Point from, Point control, Point to, double t) {
  const double u = 1 - t;
  return {u * u * from.x + 2 * u * t * control.x + t * t * to.x,
          u * u * from.y + 2 * u * t * control.y + t * t * to.y};
}

// Even steps in the curve's parameter (1 to 256) that keep every line within
// `tolerance` of the curve, for points measured in the same unit.
inline int QuadSteps(Point from, Point control, Point to, double tolerance) {
  const double ddx = from.x - 2 * control.x + to.x, ddy = from.y - 2 * control.y + to.y;
  const double dd = std::sqrt(ddx * ddx + ddy * ddy);
  return std::clamp(static_cast<int>(std::ceil(std::sqrt(dd / (8 * tolerance)))), 1, 256);
}

}  // namespace velmora::swf
