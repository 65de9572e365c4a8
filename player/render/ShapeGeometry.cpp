#include "player/render/ShapeGeometry.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

class GeometryBuilder {
 public:
  explicit GeometryBuilder(const Shape& shape) : shape_(shape) {
    out_.bounds = shape.bounds;
    out_.nonZeroWinding = shape.nonZeroWinding;
  }

  ShapeGeometry Build() {
    if (!shape_.styleTables.empty()) StartGroup(shape_.styleTables[0]);
    Point pen;
    for (const ShapeRecord& rec : shape_.records) {
      if (rec.kind == ShapeRecord::Kind::StyleChange) {
        if (rec.hasNewStyles && rec.newStylesIndex < shape_.styleTables.size()) {
          StartGroup(shape_.styleTables[rec.newStylesIndex]);
          fill0_ = fill1_ = line_ = 0;
        }
        if (rec.hasFill0) fill0_ = rec.fill0;
        if (rec.hasFill1) fill1_ = rec.fill1;
        if (rec.hasLine) line_ = rec.line;
        breakStroke_ = true;  // a style change or move starts a new pen path
        if (rec.hasMove) pen = rec.anchor;
        continue;
      }
      Edge e;
      e.from = pen;
      e.to = rec.anchor;
      e.curve = rec.kind == ShapeRecord::Kind::Curve;
      e.control = e.curve ? rec.control : Point{(pen.x + rec.anchor.x) / 2, (pen.y + rec.anchor.y) / 2};
      pen = rec.anchor;
      AddEdge(e);
    }
    return std::move(out_);
  }

 private:
  void StartGroup(const StyleTable& table) {
    StyleGroup group;
    for (const FillStyle& f : table.fills) group.fills.push_back({f, {}});
    for (const LineStyle& l : table.lines) group.lines.push_back({l, {}});
    out_.groups.push_back(std::move(group));
    breakStroke_ = true;
  }

  void AddEdge(const Edge& e) {
    StyleGroup& group = out_.groups.back();
    // Fill 1 lies to the right of the edge, fill 0 to its left: reversing the
    // fill-0 edges gives every fill one consistent orientation.
    // An edge with the same fill on both sides lies inside that fill and
    // bounds nothing.
    const bool interior = fill0_ == fill1_;
    if (!interior && fill1_ >= 1 && fill1_ <= group.fills.size()) group.fills[fill1_ - 1].edges.push_back(e);
    if (!interior && fill0_ >= 1 && fill0_ <= group.fills.size()) {
      Edge reversed{e.to, e.control, e.from, e.curve};
      group.fills[fill0_ - 1].edges.push_back(reversed);
    }
    if (line_ >= 1 && line_ <= group.lines.size()) {
      auto& paths = group.lines[line_ - 1].paths;
      bool joins = !breakStroke_ && !paths.empty() && !paths.back().edges.empty() &&
                   paths.back().edges.back().to.x == e.from.x && paths.back().edges.back().to.y == e.from.y;
      if (!joins) paths.emplace_back();
      paths.back().edges.push_back(e);
      breakStroke_ = false;
    }
  }

  const Shape& shape_;
  ShapeGeometry out_;
  uint32_t fill0_ = 0, fill1_ = 0, line_ = 0;
  bool breakStroke_ = true;
};

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

uint8_t LerpByte(uint8_t a, uint8_t b, double t) {
  return static_cast<uint8_t>(std::lround(Lerp(a, b, t)));
}

Rgba LerpColor(Rgba a, Rgba b, double t) {
  return {LerpByte(a.r, b.r, t), LerpByte(a.g, b.g, t), LerpByte(a.b, b.b, t), LerpByte(a.a, b.a, t)};
}

Matrix LerpMatrix(const Matrix& a, const Matrix& b, double t) {
  return {Lerp(a.a, b.a, t), Lerp(a.b, b.b, t), Lerp(a.c, b.c, t),
          Lerp(a.d, b.d, t), Lerp(a.tx, b.tx, t), Lerp(a.ty, b.ty, t)};
}

FillStyle LerpFill(const FillStyle& a, const FillStyle& b, double t) {
  FillStyle f = a;
  f.color = LerpColor(a.color, b.color, t);
  f.matrix = LerpMatrix(a.matrix, b.matrix, t);
  f.gradient.focalPoint = Lerp(a.gradient.focalPoint, b.gradient.focalPoint, t);
  for (size_t i = 0; i < f.gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
    f.gradient.stops[i].ratio = LerpByte(a.gradient.stops[i].ratio, b.gradient.stops[i].ratio, t);
    f.gradient.stops[i].color = LerpColor(a.gradient.stops[i].color, b.gradient.stops[i].color, t);
  }
  return f;
}

// A straight edge as a curve, so it can pair with a curve of the other shape.
void AsCurve(const Point& from, const ShapeRecord& r, Point& control) {
  control = r.kind == ShapeRecord::Kind::Curve ? r.control
                                              : Point{(from.x + r.anchor.x) / 2, (from.y + r.anchor.y) / 2};
}

}  // namespace

namespace {

void Include(ShapeExtent& e, const Point& p) {
  if (e.empty) {
    e.x0 = e.x1 = p.x;
    e.y0 = e.y1 = p.y;
    e.empty = false;
    return;
  }
  e.x0 = std::min(e.x0, p.x);
  e.x1 = std::max(e.x1, p.x);
  e.y0 = std::min(e.y0, p.y);
  e.y1 = std::max(e.y1, p.y);
}

void Include(ShapeExtent& e, const Edge& edge) {
  Include(e, edge.from);
  Include(e, edge.to);
  if (edge.curve) Include(e, edge.control);
}

// Half the pen's width, as far as a mitre or a square cap's corner reaches.
double PenReach(const LineStyle& style) {
  double factor = 1;
  if (style.join == JoinStyle::Miter) factor = std::max(factor, style.miterLimit);
  if (style.startCap == CapStyle::Square || style.endCap == CapStyle::Square) factor = std::max(factor, std::sqrt(2.0));
  return style.width / 2.0 * factor;
}

ShapeExtent Measure(const ShapeGeometry& g) {
  ShapeExtent e;
  for (const StyleGroup& group : g.groups) {
    for (const FillGeometry& fill : group.fills)
      for (const Edge& edge : fill.edges) Include(e, edge);
    for (const LineGeometry& line : group.lines) {
      if (line.paths.empty()) continue;
      e.hasLines = true;
      e.penReach = std::max(e.penReach, PenReach(line.style));
      for (const StrokePath& path : line.paths)
        for (const Edge& edge : path.edges) Include(e, edge);
    }
  }
  return e;
}

}  // namespace

ShapeGeometry BuildGeometry(const Shape& shape) {
  ShapeGeometry g = GeometryBuilder(shape).Build();
  g.extent = Measure(g);
  return g;
}

Shape InterpolateMorph(const MorphShape& morph, uint16_t ratio) {
  const double t = ratio / 65535.0;
  Shape shape;
  shape.bounds = {static_cast<int32_t>(Lerp(morph.startBounds.xMin, morph.endBounds.xMin, t)),
                  static_cast<int32_t>(Lerp(morph.startBounds.xMax, morph.endBounds.xMax, t)),
                  static_cast<int32_t>(Lerp(morph.startBounds.yMin, morph.endBounds.yMin, t)),
                  static_cast<int32_t>(Lerp(morph.startBounds.yMax, morph.endBounds.yMax, t))};
  StyleTable table;
  for (const MorphFill& f : morph.fills) table.fills.push_back(LerpFill(f.start, f.end, t));
  for (const MorphLine& l : morph.lines) {
    LineStyle line = l.start;
    line.width = static_cast<uint16_t>(std::lround(Lerp(l.start.width, l.end.width, t)));
    line.color = LerpColor(l.start.color, l.end.color, t);
    if (line.hasFill) line.fill = LerpFill(l.start.fill, l.end.fill, t);
    table.lines.push_back(line);
  }
  shape.styleTables.push_back(std::move(table));

  // The end records hold only edges and moves; each start edge pairs with the
  // next end edge.
  size_t j = 0;
  Point startPen, endPen;
  for (const ShapeRecord& s : morph.startRecords) {
    ShapeRecord out = s;
    if (s.kind == ShapeRecord::Kind::StyleChange) {
      out.hasNewStyles = false;
      if (j < morph.endRecords.size() && morph.endRecords[j].kind == ShapeRecord::Kind::StyleChange) {
        if (morph.endRecords[j].hasMove) endPen = morph.endRecords[j].anchor;
        ++j;
      }
      if (s.hasMove) {
        startPen = s.anchor;
        out.anchor = {Lerp(startPen.x, endPen.x, t), Lerp(startPen.y, endPen.y, t)};
      }
      shape.records.push_back(out);
      continue;
    }
    while (j < morph.endRecords.size() && morph.endRecords[j].kind == ShapeRecord::Kind::StyleChange) {
      if (morph.endRecords[j].hasMove) endPen = morph.endRecords[j].anchor;
      ++j;
    }
    if (j >= morph.endRecords.size()) break;  // the end shape has fewer edges
    const ShapeRecord& e = morph.endRecords[j++];
    out.anchor = {Lerp(s.anchor.x, e.anchor.x, t), Lerp(s.anchor.y, e.anchor.y, t)};
    if (s.kind == ShapeRecord::Kind::Curve || e.kind == ShapeRecord::Kind::Curve) {
      Point sc, ec;
      AsCurve(startPen, s, sc);
      AsCurve(endPen, e, ec);
      out.kind = ShapeRecord::Kind::Curve;
      out.control = {Lerp(sc.x, ec.x, t), Lerp(sc.y, ec.y, t)};
    }
    startPen = s.anchor;
    endPen = e.anchor;
    shape.records.push_back(out);
  }
  return shape;
}

}  // namespace velmora::swf
