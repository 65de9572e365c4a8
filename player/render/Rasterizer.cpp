#include "player/render/Rasterizer.h"

#include "player/render/CoverageRow.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

// Anti-aliasing samples a 4 x 4 grid in each pixel, which gives the sixteen
// coverage levels seen in the reference pictures' edges.
constexpr int kSubRows = 4;
constexpr int kSubColumns = 4;
// Far-off points of a damaged or extreme transform are pulled in so that the
// arithmetic stays finite.
constexpr double kCoordinateLimit = 1 << 24;

double Tame(double v) {
  if (!(v == v)) return 0;
  return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}

// Positions are held in whole 1/256 pixels, as the original player holds
// them: which pixel centres an edge takes depends on that rounding (the
// reference pictures follow it), and in whole units a centre lying exactly
// on an edge is computed exactly, so the half-open rule decides it alike on
// every row.
constexpr double kUnits = 256;

double ToUnits(double px) { return std::round(px * kUnits); }

}  // namespace

void Rasterizer::Reset(int width, int height, int rowFrom, int rowTo) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  rowFrom_ = std::clamp(rowFrom, 0, height_);
  rowTo_ = std::clamp(rowTo, rowFrom_, height_);
  edges_.clear();
  minX_ = minY_ = 1e300;
  maxX_ = maxY_ = -1e300;
}

void Rasterizer::AddLine(Point a, Point b) {
  a = {Tame(a.x), Tame(a.y)};
  b = {Tame(b.x), Tame(b.y)};
  minX_ = std::min({minX_, a.x, b.x});
  maxX_ = std::max({maxX_, a.x, b.x});
  minY_ = std::min({minY_, a.y, b.y});
  maxY_ = std::max({maxY_, a.y, b.y});
  int dir = 1;
  if (a.y > b.y) {
    std::swap(a, b);
    dir = -1;
  }
  const double x0 = ToUnits(a.x), y0 = ToUnits(a.y), x1 = ToUnits(b.x), y1 = ToUnits(b.y);
  if (y0 == y1) return;  // horizontal once held in units: it crosses no sample row
  // Wholly above or below the band: it crosses none of its sample rows.
  if (y1 <= rowFrom_ * kUnits || y0 >= rowTo_ * kUnits) return;
  edges_.push_back({x0, y0, y1, x1 - x0, y1 - y0, dir});
}

PixelBounds Rasterizer::Bounds() const {
  if (edges_.empty()) return {};
  PixelBounds b;
  b.x0 = static_cast<int>(std::clamp(std::floor(minX_), 0.0, static_cast<double>(width_)));
  b.x1 = static_cast<int>(std::clamp(std::ceil(maxX_) + 1, 0.0, static_cast<double>(width_)));
  b.y0 = static_cast<int>(std::clamp(std::floor(minY_), static_cast<double>(rowFrom_), static_cast<double>(rowTo_)));
  b.y1 = static_cast<int>(std::clamp(std::ceil(maxY_) + 1, static_cast<double>(rowFrom_), static_cast<double>(rowTo_)));
  return b;
}

void Rasterizer::AccumulateRow(double ys, FillRule rule, double weight, bool antialias) {
  crossings_.clear();
  for (const EdgeLine* e : active_)
    if (e->y0 <= ys && ys < e->y1) crossings_.push_back({e->x0 + (ys - e->y0) * e->dx / e->dy, e->dir});
  if (crossings_.size() < 2) return;
  std::sort(crossings_.begin(), crossings_.end(),
            [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
  const double w = width_ * kUnits;
  int winding = 0;
  double start = 0;
  for (const Crossing& c : crossings_) {
    bool wasInside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
    winding += c.dir;
    bool inside = rule == FillRule::NonZero ? winding != 0 : (winding & 1) != 0;
    if (!wasInside && inside) {
      start = c.x;
      continue;
    }
    if (!wasInside || inside) continue;
    double a = std::clamp(start, 0.0, w), b = std::clamp(c.x, 0.0, w);
    if (b <= a) continue;
    ++rowSpans_;
    if (antialias) {
      // Sub-samples whose centre lies inside, kSubColumns to a pixel.
      constexpr double kColumn = kUnits / kSubColumns;
      int sa = static_cast<int>(std::ceil((a - kColumn / 2) / kColumn));
      int sb = static_cast<int>(std::ceil((b - kColumn / 2) / kColumn));
      if (sb <= sa) continue;
      int ia = sa / kSubColumns, ib = sb / kSubColumns;
      const double part = weight / kSubColumns;
      if (ia == ib) {
        cover_[ia] += static_cast<float>((sb - sa) * part);
      } else {
        cover_[ia] += static_cast<float>((kSubColumns - sa % kSubColumns) * part);
        runs_[ia + 1] += static_cast<float>(weight);
        runs_[ib] -= static_cast<float>(weight);
        cover_[ib] += static_cast<float>((sb % kSubColumns) * part);
      }
      rowMin_ = std::min(rowMin_, ia);
      rowMax_ = std::max(rowMax_, ib);
    } else {
      // Pixels whose centre lies inside.
      int ia = static_cast<int>(std::ceil((a - kUnits / 2) / kUnits));
      int ib = static_cast<int>(std::ceil((b - kUnits / 2) / kUnits));
      if (ib <= ia) continue;
      runs_[ia] += static_cast<float>(weight);
      runs_[ib] -= static_cast<float>(weight);
      rowMin_ = std::min(rowMin_, ia);
      rowMax_ = std::max(rowMax_, ib - 1);
    }
  }
}

void Rasterizer::Render(FillRule rule, bool antialias, const SpanSink& sink) {
  if (edges_.empty() || width_ == 0 || height_ == 0) return;
  std::sort(edges_.begin(), edges_.end(), [](const EdgeLine& l, const EdgeLine& r) { return l.y0 < r.y0; });
  // The accumulators are left all zero by each render, so they are only
  // made afresh when the width changes.
  if (cover_.size() != static_cast<size_t>(width_) + 2) {
    cover_.assign(width_ + 2, 0.f);
    runs_.assign(width_ + 2, 0.f);
  }
  if (coverage_.size() < static_cast<size_t>(width_) + 1) coverage_.resize(width_ + 1);
  uint8_t* coverage = coverage_.data();
  active_.clear();
  size_t next = 0;
  int yStart = static_cast<int>(std::max(static_cast<double>(rowFrom_), std::floor(minY_)));
  int yEnd = static_cast<int>(std::min(static_cast<double>(rowTo_), std::ceil(maxY_)));
  const int samples = antialias ? kSubRows : 1;
  for (int y = yStart; y < yEnd; ++y) {
    rowMin_ = width_;
    rowMax_ = -1;
    rowSpans_ = 0;
    for (int k = 0; k < samples; ++k) {
      double ys = (y + (k + 0.5) / samples) * kUnits;
      while (next < edges_.size() && edges_[next].y0 <= ys) active_.push_back(&edges_[next++]);
      active_.erase(std::remove_if(active_.begin(), active_.end(),
                                   [ys](const EdgeLine* e) { return e->y1 <= ys; }),
                    active_.end());
      AccumulateRow(ys, rule, 1.0 / samples, antialias);
    }
    if (rowMax_ < rowMin_) continue;
    const int touchedEnd = std::min(rowMax_ + 2, width_ + 2);
    rowMax_ = std::min(rowMax_, width_ - 1);
    // Runs start at or after rowMin_. Each span adds at most a whole pixel's
    // weight at four places.
    const int count = rowMax_ - rowMin_ + 1;
    if (4.f * static_cast<float>(rowSpans_) < kExactRowSum)
      ResolveCoverageRowFast(cover_.data() + rowMin_, runs_.data() + rowMin_, count, coverage);
    else
      ResolveCoverageRow(cover_.data() + rowMin_, runs_.data() + rowMin_, count, coverage);
    // A run closing at the right edge leaves an entry just past the span.
    for (int x = rowMax_ + 1; x < touchedEnd; ++x) cover_[x] = runs_[x] = 0;
    sink(y, rowMin_, count, coverage);
  }
}

}  // namespace velmora::swf
