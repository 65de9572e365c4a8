// The renderer's text fields: the box (background and border) as the
// reference player draws it on whole pixels, then the laid-out glyphs and
// underlines cut to the box.
#include "player/render/FrameRenderer.h"

#include "player/render/Compositing.h"
#include "player/render/Paint.h"

#include <algorithm>
#include <tuple>
#include <cmath>

namespace velmora::swf {
namespace {

// Below this a matrix term counts as none: the box is upright.
constexpr double kUprightEpsilon = 1e-9;
// The reference player draws the system's fonts upright only: rotated,
// sheared or mirrored device text is not shown. A shear this small (of the
// scale) still is.
constexpr double kDeviceShearLimit = 1e-3;

// A box edge on the pixel grid: half a pixel rounds down.
int PixelEdge(double v) { return static_cast<int>(std::ceil(v - 0.5)); }

bool Upright(const Matrix& m) { return std::fabs(m.b) < kUprightEpsilon && std::fabs(m.c) < kUprightEpsilon; }

bool DeviceTextShows(const Matrix& m) {
  const double scale = std::max(std::fabs(m.a), std::fabs(m.d));
  return m.a > 0 && m.d > 0 && std::fabs(m.b) <= kDeviceShearLimit * scale &&
         std::fabs(m.c) <= kDeviceShearLimit * scale;
}

void Corners(const Rect& box, const Matrix& m, Point out[4]) {
  out[0] = m.Apply({double(box.xMin), double(box.yMin)});
  out[1] = m.Apply({double(box.xMax), double(box.yMin)});
  out[2] = m.Apply({double(box.xMax), double(box.yMax)});
  out[3] = m.Apply({double(box.xMin), double(box.yMax)});
}

// The pixels of an upright box: [x0, x1) x [y0, y1).
struct PixelBox {
  int x0, y0, x1, y1;
};

PixelBox UprightBox(const Point corners[4]) {
  const double minX = std::min(corners[0].x, corners[2].x), maxX = std::max(corners[0].x, corners[2].x);
  const double minY = std::min(corners[0].y, corners[2].y), maxY = std::max(corners[0].y, corners[2].y);
  return {PixelEdge(minX), PixelEdge(minY), PixelEdge(maxX), PixelEdge(maxY)};
}

// Covers [x0, x1) x [y0, y1) of the target with `color`, within the drawn rows.
void FillPixels(Canvas& target, int x0, int y0, int x1, int y1, uint32_t color, int rowFrom, int rowTo,
                const CoveragePlane* mask) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, target.width);
  y0 = std::max(y0, rowFrom);
  y1 = std::min(y1, rowTo);
  if (x1 <= x0 || y1 <= y0) return;
  static const std::vector<uint8_t> kWhole(4096, 255);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; x += static_cast<int>(kWhole.size())) {
      const int n = std::min(x1 - x, static_cast<int>(kWhole.size()));
      BlendSolidSpan(target.Row(y) + x, color, kWhole.data(), mask ? mask->Row(y) + x : nullptr, n);
    }
}

}  // namespace

bool FrameRenderer::FieldLayoutKeyLess::operator()(const FieldLayoutKey& a, const FieldLayoutKey& b) const {
  return (*this)(a, FieldLayoutProbe{b.field, b.looks, b.text});
}

bool FrameRenderer::FieldLayoutKeyLess::operator()(const FieldLayoutKey& a, const FieldLayoutProbe& b) const {
  return std::forward_as_tuple(a.field, a.looks, std::u16string_view(a.text)) < std::tie(b.field, b.looks, b.text);
}

bool FrameRenderer::FieldLayoutKeyLess::operator()(const FieldLayoutProbe& a, const FieldLayoutKey& b) const {
  return std::tie(a.field, a.looks, a.text) < std::forward_as_tuple(b.field, b.looks, std::u16string_view(b.text));
}

const FieldLayout& FrameRenderer::LayoutOf(const EditText& field, const FieldState& state) {
  ++fieldDraws_;
  auto it = fieldLayouts_.find(FieldLayoutProbe{&field, state.looks, state.text});
  if (it == fieldLayouts_.end()) {
    if (fieldLayouts_.size() >= kMaxFieldLayouts) {
      auto oldest = fieldLayouts_.begin();
      for (auto at = fieldLayouts_.begin(); at != fieldLayouts_.end(); ++at)
        if (at->second.lastDrawn < oldest->second.lastDrawn) oldest = at;
      fieldLayouts_.erase(oldest);
    }
    const EditText drawn = WithLooks(field, state.looks);
    KeptFieldLayout kept;
    FormattedText text = FieldText(drawn, CodePoints(state.text), movie_);
    ApplyFieldFormat(text, state.looks.format);
    kept.layout = LayOutField(drawn, text, movie_, &deviceGlyphs_);
    it = fieldLayouts_.emplace(FieldLayoutKey{&field, state.looks, state.text}, std::move(kept)).first;
  }
  it->second.lastDrawn = fieldDraws_;
  return it->second.layout;
}

void FrameRenderer::DrawEditText(const EditText& field, const FieldState* state, const Context& ctx) {
  FieldState own;
  if (!state) {
    StartFieldState(own, field, movie_.version);
    state = &own;
  }
  const FieldLayout& layout = LayoutOf(field, *state);
  DrawFieldBox(layout.bounds, state->looks, ctx);
  if (layout.glyphs.empty() && layout.underlines.empty()) return;
  const PixelBounds rows = ClipToBox(layout.bounds, ctx);
  if (rows.Empty()) return;
  Context inner = ctx;
  inner.rowFrom = rows.y0;
  inner.rowTo = rows.y1;
  inner.mask = &fieldClip_;
  const bool deviceShows = DeviceTextShows(ctx.matrix);
  for (const LaidGlyph& glyph : layout.glyphs) {
    if (glyph.device && !deviceShows) continue;
    // As static text: the glyph's origin on a whole twip, its outline from there.
    DrawGlyph(glyph.outline, ctx.matrix * glyph.matrix, glyph.color, inner);
  }
  for (const LaidRule& rule : layout.underlines) {
    Point corners[4];
    Corners({static_cast<int32_t>(std::lround(rule.x0)), static_cast<int32_t>(std::lround(rule.x1)),
             static_cast<int32_t>(std::lround(rule.y0)), static_cast<int32_t>(std::lround(rule.y1))},
            ctx.matrix, corners);
    FillPolygon(corners, 4, PremultipliedArgb(ctx.cx.Apply(rule.color)), inner, inner.mask);
  }
}

void FrameRenderer::DrawFieldBox(const Rect& box, const FieldLooks& looks, const Context& ctx) {
  if (!looks.border && !looks.background) return;
  Point corners[4];
  Corners(box, ctx.matrix, corners);
  const uint32_t background = ctx.maskMode ? 0xFFFFFFFFu : PremultipliedArgb(ctx.cx.Apply(looks.backgroundColor));
  const uint32_t border = ctx.maskMode ? 0xFFFFFFFFu : PremultipliedArgb(ctx.cx.Apply(looks.borderColor));
  Canvas& target = *ctx.target;
  if (Upright(ctx.matrix)) {
    // The reference player's border on the pixel grid: the top row and the
    // left column one pixel longer than the bottom row and the right
    // column, so the far corner stays open.
    const PixelBox p = UprightBox(corners);
    if (looks.background) FillPixels(target, p.x0, p.y0, p.x1, p.y1, background, ctx.rowFrom, ctx.rowTo, ctx.mask);
    if (!looks.border) return;
    FillPixels(target, p.x0, p.y0, p.x1 + 1, p.y0 + 1, border, ctx.rowFrom, ctx.rowTo, ctx.mask);
    FillPixels(target, p.x0, p.y0 + 1, p.x0 + 1, p.y1 + 1, border, ctx.rowFrom, ctx.rowTo, ctx.mask);
    FillPixels(target, p.x1, p.y0 + 1, p.x1 + 1, p.y1, border, ctx.rowFrom, ctx.rowTo, ctx.mask);
    FillPixels(target, p.x0 + 1, p.y1, p.x1, p.y1 + 1, border, ctx.rowFrom, ctx.rowTo, ctx.mask);
    return;
  }
  if (looks.background) FillPolygon(corners, 4, background, ctx, ctx.mask);
  if (!looks.border) return;
  // Turned boxes get a pen a pixel wide along their edge.
  raster_.Reset(target.width, target.height, ctx.rowFrom, ctx.rowTo);
  strokePoints_.clear();
  for (int i = 0; i <= 4; ++i) strokePoints_.push_back({corners[i % 4]});
  StrokeOptions options;
  options.width = 1;
  options.join = JoinStyle::Miter;
  options.tolerance = 0.1;
  AddStroke(strokePoints_, options, Matrix{}, raster_);
  raster_.Render(FillRule::NonZero, options_.antialias, [&](int y, int x, int n, const uint8_t* cov) {
    BlendSolidSpan(target.Row(y) + x, border, cov, ctx.mask ? ctx.mask->Row(y) + x : nullptr, n);
  });
}

void FrameRenderer::FillPolygon(const Point* corners, size_t count, uint32_t color, const Context& ctx,
                                const CoveragePlane* mask) {
  Canvas& target = *ctx.target;
  raster_.Reset(target.width, target.height, ctx.rowFrom, ctx.rowTo);
  for (size_t i = 0; i < count; ++i) raster_.AddLine(corners[i], corners[(i + 1) % count]);
  if (ctx.maskMode) color = 0xFFFFFFFFu;
  raster_.Render(FillRule::NonZero, options_.antialias, [&](int y, int x, int n, const uint8_t* cov) {
    BlendSolidSpan(target.Row(y) + x, color, cov, mask ? mask->Row(y) + x : nullptr, n);
  });
}

PixelBounds FrameRenderer::ClipToBox(const Rect& box, const Context& ctx) {
  const Canvas& target = *ctx.target;
  Point corners[4];
  Corners(box, ctx.matrix, corners);
  double minY = corners[0].y, maxY = corners[0].y;
  for (const Point& c : corners) {
    minY = std::min(minY, c.y);
    maxY = std::max(maxY, c.y);
  }
  PixelBounds rows{0, std::max(ctx.rowFrom, static_cast<int>(std::floor(minY))), target.width,
                   std::min(ctx.rowTo, static_cast<int>(std::ceil(maxY)))};
  if (!(minY == minY) || !(maxY == maxY) || rows.Empty()) return {};
  if (fieldClip_.width != target.width || fieldClip_.height != target.height) {
    fieldClip_.width = target.width;
    fieldClip_.height = target.height;
    fieldClip_.values.assign(static_cast<size_t>(target.width) * target.height, 0);
  }
  auto row = [&](int y) { return fieldClip_.values.data() + static_cast<size_t>(y) * target.width; };
  for (int y = rows.y0; y < rows.y1; ++y) std::fill(row(y), row(y) + target.width, 0);
  if (Upright(ctx.matrix)) {
    const PixelBox p = UprightBox(corners);
    rows.y0 = std::max(rows.y0, p.y0);
    rows.y1 = std::min(rows.y1, p.y1);
    const int x0 = std::clamp(p.x0, 0, target.width), x1 = std::clamp(p.x1, 0, target.width);
    for (int y = rows.y0; y < rows.y1 && x0 < x1; ++y) std::fill(row(y) + x0, row(y) + x1, 255);
  } else {
    raster_.Reset(target.width, target.height, rows.y0, rows.y1);
    for (int i = 0; i < 4; ++i) raster_.AddLine(corners[i], corners[(i + 1) % 4]);
    raster_.Render(FillRule::NonZero, false, [&](int y, int x, int n, const uint8_t* cov) {
      std::copy(cov, cov + n, row(y) + x);
    });
  }
  if (ctx.mask)
    for (int y = rows.y0; y < rows.y1; ++y) {
      const uint8_t* m = ctx.mask->Row(y);
      uint8_t* v = row(y);
      for (int x = 0; x < target.width; ++x) v[x] = static_cast<uint8_t>((v[x] * m[x] + 127) / 255);
    }
  return rows;
}

}  // namespace velmora::swf
