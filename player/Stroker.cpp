#include "player/Stroker.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Where the pieces go: the transform to pixels, the rasterizer and how far a
// round part may stray from its circle, in path units.
struct PenSink {
  const Matrix& toPixels;
  Rasterizer& out;
  double tolerance;
};

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

void AddDisc(Point c, double r, PenSink& sink) {
  // Enough sides that none strays more than a hundredth of a pixel inside the
  // true circle: round joins and caps of wide pens show their polygon otherwise.
  constexpr int kMaxSides = 256;
  const double tol = sink.tolerance;
  double step = r > tol ? std::acos(1 - tol / r) * 2 : kPi;
  int steps = std::clamp(static_cast<int>(std::ceil(2 * kPi / step)), 8, kMaxSides);
  Point poly[kMaxSides];
  for (int i = 0; i < steps; ++i) {
    double t = 2 * kPi * i / steps;
    poly[i] = {c.x + r * std::cos(t), c.y + r * std::sin(t)};
  }
  AddPolygon(poly, steps, sink);
}

Point Normal(Point a, Point b, double halfWidth) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len = std::sqrt(dx * dx + dy * dy);
  return {-dy / len * halfWidth, dx / len * halfWidth};
}

void AddJoin(Point prev, Point at, Point next, const StrokeOptions& o, double hw, PenSink& out) {
  if (o.join == JoinStyle::Round) {
    AddDisc(at, hw, out);
    return;
  }
  Point n1 = Normal(prev, at, hw), n2 = Normal(at, next, hw);
  double cross = n1.x * n2.y - n1.y * n2.x;
  if (std::fabs(cross) < 1e-12 && n1.x * n2.x + n1.y * n2.y > 0) return;  // straight on
  // The outer side is where the bands leave a notch.
  double side = cross > 0 ? -1 : 1;
  Point a{at.x + side * n1.x, at.y + side * n1.y};
  Point b{at.x + side * n2.x, at.y + side * n2.y};
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
  if (cap == CapStyle::Round) {
    AddDisc(end, hw, out);
  } else if (cap == CapStyle::Square) {
    double dx = end.x - inward.x, dy = end.y - inward.y;
    double len = std::sqrt(dx * dx + dy * dy);
    Point ext{dx / len * hw, dy / len * hw};
    Point n = Normal(inward, end, hw);
    AddPolygon({{end.x + n.x, end.y + n.y},
                {end.x + n.x + ext.x, end.y + n.y + ext.y},
                {end.x - n.x + ext.x, end.y - n.y + ext.y},
                {end.x - n.x, end.y - n.y}},
               out);
  }
}

}  // namespace

void AddStroke(const std::vector<Point>& input, const StrokeOptions& o, const Matrix& toPixels,
               Rasterizer& rasterizer) {
  // The largest stretch of the transform decides how fine round parts must be.
  double aa = toPixels.a * toPixels.a + toPixels.b * toPixels.b;
  double cc = toPixels.c * toPixels.c + toPixels.d * toPixels.d;
  double ac = toPixels.a * toPixels.c + toPixels.b * toPixels.d;
  double maxStretch = std::sqrt((aa + cc) / 2 + std::sqrt((aa - cc) * (aa - cc) / 4 + ac * ac));
  PenSink out{toPixels, rasterizer, 0.01 / std::max(maxStretch, 1e-9)};
  // Repeated points have no direction.
  std::vector<Point> pts;
  for (const Point& p : input)
    if (pts.empty() || std::fabs(p.x - pts.back().x) > 1e-9 || std::fabs(p.y - pts.back().y) > 1e-9)
      pts.push_back(p);
  const double hw = o.width / 2;
  if (!(hw > 0)) return;
  if (pts.size() == 1) {
    if (o.startCap == CapStyle::Round) AddDisc(pts[0], hw, out);
    return;
  }
  if (pts.size() < 2) return;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    Point n = Normal(pts[i], pts[i + 1], hw);
    AddPolygon({{pts[i].x + n.x, pts[i].y + n.y},
                {pts[i + 1].x + n.x, pts[i + 1].y + n.y},
                {pts[i + 1].x - n.x, pts[i + 1].y - n.y},
                {pts[i].x - n.x, pts[i].y - n.y}},
               out);
  }
  for (size_t i = 1; i + 1 < pts.size(); ++i) AddJoin(pts[i - 1], pts[i], pts[i + 1], o, hw, out);
  const Point& first = pts.front();
  const Point& last = pts.back();
  bool closed = !o.noClose && pts.size() > 2 && std::fabs(first.x - last.x) < 1e-6 &&
                std::fabs(first.y - last.y) < 1e-6;
  if (closed) {
    AddJoin(pts[pts.size() - 2], first, pts[1], o, hw, out);
  } else {
    AddCap(first, pts[1], o.startCap, hw, out);
    AddCap(last, pts[pts.size() - 2], o.endCap, hw, out);
  }
}

}  // namespace velmora::swf
