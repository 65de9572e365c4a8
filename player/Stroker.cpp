#include "player/Stroker.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Every piece is added with negative signed area so that overlapping pieces
// add up instead of cancelling.
void AddPolygon(std::vector<Point> poly, Rasterizer& out) {
  if (poly.size() < 3) return;
  double area = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const Point& a = poly[i];
    const Point& b = poly[(i + 1) % poly.size()];
    area += a.x * b.y - b.x * a.y;
  }
  if (area > 0) std::reverse(poly.begin(), poly.end());
  for (size_t i = 0; i < poly.size(); ++i) out.AddLine(poly[i], poly[(i + 1) % poly.size()]);
}

void AddDisc(Point c, double r, Rasterizer& out) {
  // Enough sides that none strays more than a hundredth of a pixel inside the
  // true circle: round joins and caps of wide pens show their polygon otherwise.
  const double tol = 0.01;
  double step = r > tol ? std::acos(1 - tol / r) * 2 : kPi;
  int steps = std::clamp(static_cast<int>(std::ceil(2 * kPi / step)), 8, 256);
  std::vector<Point> poly;
  for (int i = 0; i < steps; ++i) {
    double t = 2 * kPi * i / steps;
    poly.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
  }
  AddPolygon(std::move(poly), out);
}

Point Normal(Point a, Point b, double halfWidth) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len = std::sqrt(dx * dx + dy * dy);
  return {-dy / len * halfWidth, dx / len * halfWidth};
}

void AddJoin(Point prev, Point at, Point next, const StrokeOptions& o, double hw, Rasterizer& out) {
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

void AddCap(Point end, Point inward, CapStyle cap, double hw, Rasterizer& out) {
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

void AddStroke(const std::vector<Point>& input, const StrokeOptions& o, Rasterizer& out) {
  // Repeated points have no direction.
  std::vector<Point> pts;
  for (const Point& p : input)
    if (pts.empty() || std::fabs(p.x - pts.back().x) > 1e-9 || std::fabs(p.y - pts.back().y) > 1e-9)
      pts.push_back(p);
  const double hw = std::max(o.width, 1.0) / 2;
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
