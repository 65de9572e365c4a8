#include "player/render/Stroker.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora::swf {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Where the pieces go: the transform to pixels, the rasterizer and how far a
// round part may stray inside its circle, in path units.
struct PenSink {
  const Matrix& toPixels;
  Rasterizer& out;
  double tolerance;
  std::vector<Point> scratch;
};

// Pieces of an arc: the arc is halved until every piece lies within the
// tolerance of its circle. No piece turns more than a quarter, so that a pen
// hardly wider than the tolerance still draws its dots and round ends.
int ArcPieces(double sweep, double r, double tolerance) {
  constexpr int kMaxPieces = 256;
  const double step = r > tolerance ? std::min(2 * std::acos(1 - tolerance / r), kPi / 2) : kPi / 2;
  int pieces = 1;
  while (pieces < kMaxPieces && std::fabs(sweep) > step * pieces) pieces *= 2;
  return pieces;
}

// Every piece is added with one sign of area so that overlapping pieces add
// up instead of cancelling.
void AddPolygon(const Point* poly, size_t n, PenSink& sink) {
  if (n < 3) return;
  double area = 0;
  for (size_t i = 0; i < n; ++i) {
    const Point& a = poly[i];
    const Point& b = poly[(i + 1) % n];
    area += a.x * b.y - b.x * a.y;
  }
  Point first = sink.toPixels.Apply(poly[area > 0 ? n - 1 : 0]), prev = first;
  for (size_t k = 1; k < n; ++k) {
    Point p = sink.toPixels.Apply(poly[area > 0 ? n - 1 - k : k]);
    sink.out.AddLine(prev, p);
    prev = p;
  }
  sink.out.AddLine(prev, first);
}

void AddPolygon(std::initializer_list<Point> poly, PenSink& sink) { AddPolygon(poly.begin(), poly.size(), sink); }

// The wedge from `c` out to an arc of its circle, which runs from c + `from`
// to c + `to` turning through `sweep` (either way). The arc's ends are taken
// as given, so that they meet the bands' corners exactly.
void AddArcWedge(Point c, Point from, Point to, double sweep, PenSink& sink) {
  const int pieces = ArcPieces(sweep, std::hypot(from.x, from.y), sink.tolerance);
  std::vector<Point>& poly = sink.scratch;
  poly.assign({c, {c.x + from.x, c.y + from.y}});
  for (int i = 1; i < pieces; ++i) {
    const double t = sweep * i / pieces, cs = std::cos(t), sn = std::sin(t);
    poly.push_back({c.x + from.x * cs - from.y * sn, c.y + from.x * sn + from.y * cs});
  }
  poly.push_back({c.x + to.x, c.y + to.y});
  AddPolygon(poly.data(), poly.size(), sink);
}

Point Normal(Point a, Point b, double halfWidth) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len = std::sqrt(dx * dx + dy * dy);
  return {-dy / len * halfWidth, dx / len * halfWidth};
}

void AddJoin(Point prev, Point at, Point next, const StrokeOptions& o, double hw, PenSink& out) {
  Point n1 = Normal(prev, at, hw), n2 = Normal(at, next, hw);
  double cross = n1.x * n2.y - n1.y * n2.x, dot = n1.x * n2.x + n1.y * n2.y;
  if (std::fabs(cross) < 1e-12 && dot > 0) return;  // straight on
  // The outer side is where the bands leave a notch.
  double side = cross > 0 ? -1 : 1;
  Point a{at.x + side * n1.x, at.y + side * n1.y};
  Point b{at.x + side * n2.x, at.y + side * n2.y};
  if (o.join == JoinStyle::Round) {
    AddArcWedge(at, {side * n1.x, side * n1.y}, {side * n2.x, side * n2.y}, std::atan2(cross, dot), out);
    return;
  }
  if (o.join == JoinStyle::Miter) {
    Point mid{n1.x + n2.x, n1.y + n2.y};
    double midLen = std::sqrt(mid.x * mid.x + mid.y * mid.y);
    if (midLen > 1e-12) {
      double cosHalf = midLen / (2 * hw);
      double miterLength = hw / std::max(cosHalf, 1e-12);
      if (miterLength <= o.miterLimit * hw) {
        Point m{at.x + side * mid.x / midLen * miterLength, at.y + side * mid.y / midLen * miterLength};
        AddPolygon({at, a, m, b}, out);
        return;
      }
    }
  }
  AddPolygon({at, a, b}, out);
}

void AddCap(Point end, Point inward, CapStyle cap, double hw, PenSink& out) {
  Point n = Normal(inward, end, hw);
  if (cap == CapStyle::Round) {
    // Half a circle, from one side of the pen round the end to the other.
    AddArcWedge(end, n, {-n.x, -n.y}, -kPi, out);
  } else if (cap == CapStyle::Square) {
    double dx = end.x - inward.x, dy = end.y - inward.y;
    double len = std::sqrt(dx * dx + dy * dy);
    Point ext{dx / len * hw, dy / len * hw};
    AddPolygon({end,
                {end.x + n.x, end.y + n.y},
                {end.x + n.x + ext.x, end.y + n.y + ext.y},
                {end.x - n.x + ext.x, end.y - n.y + ext.y},
                {end.x - n.x, end.y - n.y}},
               out);
  }
}

}  // namespace

void AddStroke(const std::vector<PenPoint>& input, const StrokeOptions& o, const Matrix& toPixels,
               Rasterizer& rasterizer) {
  PenSink out{toPixels, rasterizer, o.tolerance, {}};
  // Repeated points have no direction; one that is also a corner stays a corner.
  std::vector<PenPoint> pts;
  for (const PenPoint& p : input) {
    if (!pts.empty() && std::fabs(p.at.x - pts.back().at.x) <= 1e-9 && std::fabs(p.at.y - pts.back().at.y) <= 1e-9) {
      pts.back().cutsCurve = pts.back().cutsCurve && p.cutsCurve;
      continue;
    }
    pts.push_back(p);
  }
  const double hw = o.width / 2;
  if (!(hw > 0) || pts.empty()) return;
  if (pts.size() == 1) {
    if (o.startCap == CapStyle::Round) AddArcWedge(pts[0].at, {hw, 0}, {hw, 0}, 2 * kPi, out);
    return;
  }
  const Point& first = pts.front().at;
  const Point& last = pts.back().at;
  const bool closed = !o.noClose && pts.size() > 2 && std::fabs(first.x - last.x) < 1e-6 &&
                      std::fabs(first.y - last.y) < 1e-6;
  // A band's ends pass through its path points, where the joins and caps
  // attach: they share those edges exactly, so no pixel centre falls between
  // them. A butt end is left straight.
  const bool buttStart = !closed && o.startCap == CapStyle::None;
  const bool buttEnd = !closed && o.endCap == CapStyle::None;
  // Where a point only cuts a curve and the turn is slight, the pen's sides
  // run straight on from band to band and meet in mitre points, which both
  // bands take as corners: an offset from the point, or none where the turn
  // is sharp (the tip of a spike), which takes the pen's own join instead.
  std::vector<std::optional<Point>> mitres(pts.size());
  for (size_t i = 1; i + 1 < pts.size(); ++i) {
    if (!pts[i].cutsCurve) continue;
    const Point n1 = Normal(pts[i - 1].at, pts[i].at, hw), n2 = Normal(pts[i].at, pts[i + 1].at, hw);
    if (n1.x * n2.x + n1.y * n2.y <= 0) continue;
    const Point mid{n1.x + n2.x, n1.y + n2.y};
    const double k = 2 * hw * hw / (mid.x * mid.x + mid.y * mid.y);  // hw / cos(half the turn), along mid
    mitres[i] = Point{mid.x * k, mid.y * k};
  }
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    const Point& p = pts[i].at;
    const Point& q = pts[i + 1].at;
    const Point n = Normal(p, q, hw);
    const Point np = mitres[i].value_or(n), nq = mitres[i + 1].value_or(n);
    Point band[6];
    size_t count = 0;
    band[count++] = {p.x + np.x, p.y + np.y};
    band[count++] = {q.x + nq.x, q.y + nq.y};
    if (!(buttEnd && i + 2 == pts.size())) band[count++] = q;
    band[count++] = {q.x - nq.x, q.y - nq.y};
    band[count++] = {p.x - np.x, p.y - np.y};
    if (!(buttStart && i == 0)) band[count++] = p;
    AddPolygon(band, count, out);
  }
  for (size_t i = 1; i + 1 < pts.size(); ++i)
    if (!mitres[i]) AddJoin(pts[i - 1].at, pts[i].at, pts[i + 1].at, o, hw, out);
  if (closed) {
    AddJoin(pts[pts.size() - 2].at, first, pts[1].at, o, hw, out);
  } else {
    AddCap(first, pts[1].at, o.startCap, hw, out);
    AddCap(last, pts[pts.size() - 2].at, o.endCap, hw, out);
  }
}

}  // namespace velmora::swf
