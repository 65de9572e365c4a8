#include "player/display/ClipDrawing.h"

#include "player/display/Timeline.h"

#include <algorithm>
#include <atomic>

namespace velmora::swf {
namespace {

// A movie that adds an edge every frame and never clears would grow its
// drawing for as long as it runs: past this many records (edges, moves and
// style changes, the styles counted too) a clip's drawing takes no more, and
// further calls draw nothing until clear(). A call that could pass it is
// refused whole, so that the edge closing a fill always fits.
constexpr size_t kMaxDrawingRecords = 100000;
// The most records one call adds: an edge with its style change, and the
// two that close the fill for the picture.
constexpr size_t kCallRecords = 4;

// Versions are unique across all drawings (of every movie), so that a
// renderer never takes a new drawing for an old one that lay at its address.
std::atomic<uint64_t> nextVersion{1};

bool Same(Point a, Point b) { return a.x == b.x && a.y == b.y; }

// Where the curve from `a` over `c` to `b` turns back along one axis, as the
// parameter in 0..1; -1 when it does not.
double TurningPoint(double a, double c, double b) {
  const double d = a - 2 * c + b;
  if (d == 0) return -1;
  const double t = (a - c) / d;
  return t > 0 && t < 1 ? t : -1;
}

Point CurvePoint(Point a, Point c, Point b, double t) {
  const double u = 1 - t;
  return {u * u * a.x + 2 * u * t * c.x + t * t * b.x, u * u * a.y + 2 * u * t * c.y + t * t * b.y};
}

}  // namespace

ClipDrawing::ClipDrawing() { Clear(); }

void ClipDrawing::Clear() {
  shape_ = Shape();
  shape_.styleTables.emplace_back();
  pen_ = recordPen_ = outlineStart_ = Point{};
  outlineHasEdges_ = filling_ = false;
  line_ = 0;
  styles_ = 0;
  provisional_ = 0;
  stylesChanged_ = true;
  hasBox_ = false;
  x0_ = y0_ = x1_ = y1_ = 0;
  Touch();
}

void ClipDrawing::Touch() { version_ = nextVersion.fetch_add(1, std::memory_order_relaxed); }

bool ClipDrawing::Full() const { return shape_.records.size() + styles_ + kCallRecords > kMaxDrawingRecords; }

void ClipDrawing::Reopen() {
  if (provisional_ == 0) return;
  shape_.records.resize(shape_.records.size() - provisional_);
  provisional_ = 0;
  recordPen_ = beforeProvisional_.pen;
  stylesChanged_ = beforeProvisional_.stylesChanged;
}

void ClipDrawing::Reclose() {
  if (!filling_ || !outlineHasEdges_ || Same(pen_, outlineStart_)) return;
  beforeProvisional_ = {recordPen_, stylesChanged_};
  ShapeRecord change;
  change.kind = ShapeRecord::Kind::StyleChange;
  change.hasFill0 = change.hasFill1 = change.hasLine = true;
  change.fill1 = 1;
  change.line = 0;  // only the fill is closed, not the pen's path
  change.hasMove = !Same(pen_, recordPen_);
  change.anchor = pen_;
  ShapeRecord edge;
  edge.kind = ShapeRecord::Kind::Line;
  edge.anchor = outlineStart_;
  shape_.records.push_back(change);
  shape_.records.push_back(edge);
  provisional_ = 2;
}

void ClipDrawing::SetLine(bool on, const LineStyle& style) {
  if (!on) {
    Reopen();
    if (line_ != 0) stylesChanged_ = true;
    line_ = 0;
    Reclose();
    return;
  }
  if (Full()) return;
  Reopen();
  auto& lines = shape_.styleTables.back().lines;
  lines.push_back(style);
  ++styles_;
  line_ = static_cast<uint32_t>(lines.size());
  stylesChanged_ = true;
  Reclose();
  Touch();
}

void ClipDrawing::BeginFill(const FillStyle& style) {
  EndFill();
  if (Full()) return;
  StyleTable table;
  table.fills.push_back(style);
  // The pen carries over into the new table.
  const StyleTable& current = shape_.styleTables.back();
  if (line_ != 0) table.lines.push_back(current.lines[line_ - 1]);
  styles_ += table.fills.size() + table.lines.size();
  shape_.styleTables.push_back(std::move(table));
  ShapeRecord change;
  change.kind = ShapeRecord::Kind::StyleChange;
  change.hasNewStyles = true;
  change.newStylesIndex = static_cast<uint32_t>(shape_.styleTables.size() - 1);
  shape_.records.push_back(change);
  line_ = line_ != 0 ? 1 : 0;
  filling_ = true;
  outlineStart_ = pen_;
  outlineHasEdges_ = false;
  stylesChanged_ = true;
  Touch();
}

void ClipDrawing::EndFill() {
  if (!filling_) return;
  Reopen();
  CloseOutline();
  filling_ = false;
  stylesChanged_ = true;
}

void ClipDrawing::CloseOutline() {
  if (outlineHasEdges_ && !Same(pen_, outlineStart_)) {
    PrepareEdge();
    ShapeRecord edge;
    edge.kind = ShapeRecord::Kind::Line;
    edge.anchor = outlineStart_;
    shape_.records.push_back(edge);
    Include(outlineStart_, line_ != 0 ? shape_.styleTables.back().lines[line_ - 1].width / 2.0 : 0);
    recordPen_ = pen_ = outlineStart_;
    Touch();
  }
  outlineHasEdges_ = false;
}

void ClipDrawing::MoveTo(Point to) {
  Reopen();
  if (filling_) CloseOutline();
  pen_ = to;
  outlineStart_ = to;
}

void ClipDrawing::LineTo(Point to) { AddEdge(ShapeRecord::Kind::Line, {}, to); }

void ClipDrawing::CurveTo(Point control, Point to) { AddEdge(ShapeRecord::Kind::Curve, control, to); }

void ClipDrawing::PrepareEdge() {
  const bool move = !Same(pen_, recordPen_);
  if (!stylesChanged_ && !move) return;
  ShapeRecord change;
  change.kind = ShapeRecord::Kind::StyleChange;
  change.hasFill0 = change.hasFill1 = change.hasLine = true;
  change.fill1 = filling_ ? 1 : 0;
  change.line = line_;
  change.hasMove = move;
  change.anchor = pen_;
  shape_.records.push_back(change);
  recordPen_ = pen_;
  stylesChanged_ = false;
}

void ClipDrawing::AddEdge(ShapeRecord::Kind kind, Point control, Point to) {
  // With neither pen nor fill an edge shows nothing: the pen only moves.
  if (!filling_ && line_ == 0) {
    pen_ = to;
    return;
  }
  if (Full()) return;
  Reopen();
  PrepareEdge();
  ShapeRecord edge;
  edge.kind = kind;
  edge.control = control;
  edge.anchor = to;
  shape_.records.push_back(edge);
  const double reach = line_ != 0 ? shape_.styleTables.back().lines[line_ - 1].width / 2.0 : 0;
  Include(pen_, reach);
  Include(to, reach);
  if (kind == ShapeRecord::Kind::Curve) {
    // The curve's own extremes, not its control point: the box is tight.
    const double tx = TurningPoint(pen_.x, control.x, to.x), ty = TurningPoint(pen_.y, control.y, to.y);
    if (tx >= 0) Include(CurvePoint(pen_, control, to, tx), reach);
    if (ty >= 0) Include(CurvePoint(pen_, control, to, ty), reach);
  }
  recordPen_ = pen_ = to;
  if (filling_) outlineHasEdges_ = true;
  Reclose();
  Touch();
}

void ClipDrawing::Include(Point p, double reach) {
  const double px0 = p.x - reach, py0 = p.y - reach, px1 = p.x + reach, py1 = p.y + reach;
  if (!hasBox_) {
    x0_ = px0, y0_ = py0, x1_ = px1, y1_ = py1;
    hasBox_ = true;
  } else {
    x0_ = std::min(x0_, px0), y0_ = std::min(y0_, py0);
    x1_ = std::max(x1_, px1), y1_ = std::max(y1_, py1);
  }
  shape_.bounds = {static_cast<int32_t>(x0_), static_cast<int32_t>(x1_), static_cast<int32_t>(y0_),
                   static_cast<int32_t>(y1_)};
}

uint64_t DrawingVersionOf(const Clip& clip) { return clip.Drawing() ? clip.Drawing()->Version() : 0; }

}  // namespace velmora::swf
