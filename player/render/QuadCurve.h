// Quadratic curves, the only curves of the movie format, cut into lines.
#pragma once

#include "player/swf/SwfTypes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::swf {

inline Point QuadPoint(Point from, Point control, Point to, double t) {
  const double u = 1 - t;
  return {u * u * from.x + 2 * u * t * control.x + t * t * to.x,
          u * u * from.y + 2 * u * t * control.y + t * t * to.y};
}

namespace detail {

// Close approximations of the integral of the chord count along the parabola
// y = x^2, and of its inverse (exact to within a few per cent everywhere).
inline double ParabolaCutsIntegral(double x) {
  constexpr double d = 0.67, d4 = d * d * d * d;
  return x / (1 - d + std::sqrt(std::sqrt(d4 + 0.25 * x * x)));
}
inline double ParabolaCutsInverse(double a) {
  constexpr double b = 0.39;
  return a * (1 - b + std::sqrt(b * b + 0.25 * a * a));
}

constexpr int kMaxPieces = 256;

inline double DistanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace detail

// The parameters strictly between 0 and 1 at which to cut a curve into lines
// that stay within `tolerance` of it, in the points' own unit. Every quadratic
// curve is a piece of the parabola y = x^2 moved, turned and scaled; the cuts
// are spaced evenly along that parabola's curvature, so the sharp bend of a
// thin crescent gets the short lines and its flat sides the long ones.
inline void QuadCuts(Point from, Point control, Point to, double tolerance, std::vector<double>& cuts) {
  cuts.clear();
  const double ddx = 2 * control.x - from.x - to.x, ddy = 2 * control.y - from.y - to.y;
  const double cross = (to.x - from.x) * ddy - (to.y - from.y) * ddx;
  const double bend = std::hypot(ddx, ddy);
  if (!(tolerance > 0) || !(bend > 0)) return;  // a straight line, or nothing to measure by
  // A curve that runs along its chord without turning back, and whose middle
  // (its farthest point from the chord) lies within the tolerance, is drawn
  // as the chord.
  const double cx = to.x - from.x, cy = to.y - from.y, chord = std::hypot(cx, cy);
  const bool along = (control.x - from.x) * cx + (control.y - from.y) * cy >= 0 &&
                     (to.x - control.x) * cx + (to.y - control.y) * cy >= 0;
  const double bulge = std::abs((control.x - from.x) * cy - (control.y - from.y) * cx);
  if (chord > 0 && along && bulge <= 2 * tolerance * chord) return;
  const double u0 = (control.x - from.x) * ddx + (control.y - from.y) * ddy;
  const double u2 = (to.x - control.x) * ddx + (to.y - control.y) * ddy;
  const double x0 = u0 / cross, x2 = u2 / cross;
  const double scale = std::abs(cross) / (bend * std::abs(x2 - x0));
  const double a0 = detail::ParabolaCutsIntegral(x0), a2 = detail::ParabolaCutsIntegral(x2);
  const double count = 0.5 * std::abs(a2 - a0) * std::sqrt(scale / tolerance);
  if (!std::isfinite(count)) {
    // The control point lies on the line through the ends, maybe beyond one
    // of them: even steps, as many as keep each line within the tolerance.
    const int steps = std::clamp(static_cast<int>(std::ceil(std::sqrt(bend / (8 * tolerance)))), 1,
                                 detail::kMaxPieces);
    for (int i = 1; i < steps; ++i) cuts.push_back(static_cast<double>(i) / steps);
    return;
  }
  const int pieces = std::clamp(static_cast<int>(std::ceil(count)), 1, detail::kMaxPieces);
  // The ends taken through the same approximations, so that the cuts map
  // back onto 0..1 exactly.
  const double first = detail::ParabolaCutsInverse(a0), last = detail::ParabolaCutsInverse(a2);
  for (int i = 1; i < pieces; ++i) {
    const double x = detail::ParabolaCutsInverse(a0 + (a2 - a0) * i / pieces);
    cuts.push_back((x - first) / (last - first));
  }
  // The count holds for short pieces. A thin spike that turns back on itself
  // may get one line across it that misses its tip: the tip is then cut too.
  const double tip = u0 / (bend * bend);
  if (tip > 0 && tip < 1) {
    const auto next = std::upper_bound(cuts.begin(), cuts.end(), tip);
    const double before = next == cuts.begin() ? 0 : *(next - 1), after = next == cuts.end() ? 1 : *next;
    if (detail::DistanceToSegment(QuadPoint(from, control, to, tip), QuadPoint(from, control, to, before),
                                  QuadPoint(from, control, to, after)) > tolerance)
      cuts.insert(next, tip);
  }
}

}  // namespace velmora::swf
