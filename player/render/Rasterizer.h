// Scan conversion of closed outlines into per-pixel coverage, with the
// even-odd or non-zero rule, with or without anti-aliasing. Outlines are
// given in pixel coordinates; the result is clipped to the target size.
#pragma once

#include "player/swf/SwfTypes.h"

#include <cmath>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace velmora::swf {

enum class FillRule : uint8_t { EvenOdd, NonZero };

struct PixelBounds {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 exclusive
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// The smallest rectangle holding both (an empty one holds nothing).
inline PixelBounds Around(const PixelBounds& a, const PixelBounds& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {a.x0 < b.x0 ? a.x0 : b.x0, a.y0 < b.y0 ? a.y0 : b.y0, a.x1 > b.x1 ? a.x1 : b.x1, a.y1 > b.y1 ? a.y1 : b.y1};
}

// The ends of a shape's edges are put on whole twips (1/20 pixel) in device
// space, and the rasterizer then holds every point in whole 1/256 pixels:
// without anti-aliasing, both roundings decide which pixel centres an edge
// takes in the original player's pictures.
inline Point SnapToTwips(Point p) {
  return {std::round(p.x * 20) / 20, std::round(p.y * 20) / 20};
}

class Rasterizer {
 public:
  // Receives the covered pixels of row `y` from `x` on: `count` coverage values 0..255.
  using SpanSink = std::function<void(int y, int x, int count, const uint8_t* coverage)>;

  // Starts a new outline on a target of `width` x `height`, of which only the
  // rows from `rowFrom` up to `rowTo` are rendered (a band of the frame).
  void Reset(int width, int height, int rowFrom = 0, int rowTo = INT_MAX);
  void AddLine(Point a, Point b);
  bool HasEdges() const { return !edges_.empty(); }
  // Rows and columns the outlines touch, clipped to the target.
  PixelBounds Bounds() const;

  void Render(FillRule rule, bool antialias, const SpanSink& sink);

 private:
  struct EdgeLine {
    double x0, y0, y1, dx, dy;  // whole 1/256 pixels; dy > 0
    int dir;
  };
  struct Crossing {
    double x;
    int dir;
  };
  // `ys` is the sample row's centre in 1/256 pixels.
  void AccumulateRow(double ys, FillRule rule, double weight, bool antialias);

  int width_ = 0, height_ = 0;
  int rowFrom_ = 0, rowTo_ = 0;
  std::vector<EdgeLine> edges_;
  double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
  // Per render: active edges and the row's accumulated coverage.
  std::vector<const EdgeLine*> active_;
  std::vector<Crossing> crossings_;
  std::vector<float> cover_;
  std::vector<float> runs_;
  std::vector<uint8_t> coverage_;  // one row's coverage, handed to the sink
  int rowMin_ = 0, rowMax_ = -1;
  int rowSpans_ = 0;  // spans the row's sample rows added
};

}  // namespace velmora::swf
