#include "player/render/FrameRenderer.h"

#include "player/display/ClipGeometry.h"
#include "player/display/ClipDrawing.h"
#include "player/render/Compositing.h"
#include "player/render/Filters.h"
#include "player/render/Paint.h"
#include "player/render/QuadCurve.h"
#include "player/render/SpanCover.h"
#include "player/render/Stroker.h"
#include "player/render/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

// Morph shapes are cached per ratio; a long tween is dropped once this many
// ratios are held.
constexpr size_t kMaxMorphCache = 64;
// Nesting beyond this (a sprite placing itself, directly or not) is not drawn.
constexpr int kMaxDrawDepth = 64;
// Curves are cut into lines in the shape's own units, before its transform,
// to within two units: a tenth of a pixel for a shape at 1:1. A shape scaled
// up shows its lines enlarged, as the original player's pictures do.
constexpr double kCurveTolerance = 2;

// The smallest rectangle holding `start` and every one of `areas`.
PixelBounds AroundAll(const std::vector<PixelBounds>& areas, PixelBounds start) {
  for (const PixelBounds& a : areas) start = Around(start, a);
  return start;
}

double LineScale(const Matrix& m) {
  return std::sqrt((m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d) / 2);
}

}  // namespace

bool FrameRenderer::Render(const Clip& root, const Matrix& view, const RenderOptions& options,
                           uint32_t background, Canvas& canvas, int rowFrom, int rowTo, bool canvasHoldsLast) {
  options_ = options;
  // Filters keep their size in stage pixels whatever the objects' own scale;
  // only the view stretches them.
  filterScale_ = LineScale(view) * 20;
  Context ctx;
  ctx.matrix = view;
  ctx.rowFrom = std::clamp(rowFrom, 0, canvas.height);
  ctx.rowTo = std::clamp(rowTo, ctx.rowFrom, canvas.height);
  drawDepth_ = 0;
  auto clearRows = [&](Canvas& c) {
    std::fill(c.pixels.begin() + static_cast<std::ptrdiff_t>(ctx.rowFrom) * c.width,
              c.pixels.begin() + static_cast<std::ptrdiff_t>(ctx.rowTo) * c.width, background);
  };
  const size_t still = backdrop_.Plan(root, {canvas.width, canvas.height, background, view, options, ctx.rowFrom, ctx.rowTo});
  const bool fresh = still > 0 && backdrop_.Fresh();
  if (fresh) {
    Canvas& picture = backdrop_.Picture();
    if (picture.width != canvas.width || picture.height != canvas.height) picture.Resize(canvas.width, canvas.height);
    clearRows(picture);
    ctx.target = &picture;
    DrawClip(root, ctx, 0, still);
  }
  ctx.target = &canvas;
  pixelsTakenFromHeld_ = 0;
  // Unless the held picture goes back only where the last frame drew over
  // it, every row drawn may change.
  changedBounds_ = {0, ctx.rowFrom, canvas.width, ctx.rowTo};
  bool onlyDrawnOver = false;
  if (still > 0) {
    // Outside what the last frame drew over it, a canvas that still holds
    // that frame holds the held picture already.
    const DrawnOver& last = drawnOver_;
    onlyDrawnOver = canvasHoldsLast && !fresh && last.valid && last.pixels == canvas.pixels.data() &&
                    last.width == canvas.width && last.height == canvas.height && last.rowFrom == ctx.rowFrom &&
                    last.rowTo == ctx.rowTo && last.still == still;
    TakeHeldPicture(ctx, onlyDrawnOver);
    if (onlyDrawnOver) changedBounds_ = AroundAll(last.areas, PixelBounds{});
  } else {
    clearRows(canvas);
  }
  DrawClip(root, ctx, still);
  drawnOver_.valid = still > 0;
  if (still > 0) {
    drawnOver_.pixels = canvas.pixels.data();
    drawnOver_.width = canvas.width;
    drawnOver_.height = canvas.height;
    drawnOver_.rowFrom = ctx.rowFrom;
    drawnOver_.rowTo = ctx.rowTo;
    drawnOver_.still = still;
    DrawableAreas(root, still, ctx, drawnOver_.areas);
    // What was put back, and what was drawn over it now.
    if (onlyDrawnOver) changedBounds_ = AroundAll(drawnOver_.areas, changedBounds_);
  }
  for (auto it = drawings_.begin(); it != drawings_.end();)
    it = it->second.frame == frame_ ? std::next(it) : drawings_.erase(it);
  ++frame_;
  return !backdrop_.Unchanged();
}

void FrameRenderer::TakeHeldPicture(const Context& ctx, bool onlyDrawnOver) {
  const Canvas& picture = backdrop_.Picture();
  Canvas& canvas = *ctx.target;
  if (!onlyDrawnOver) {
    std::copy(picture.pixels.begin() + static_cast<std::ptrdiff_t>(ctx.rowFrom) * canvas.width,
              picture.pixels.begin() + static_cast<std::ptrdiff_t>(ctx.rowTo) * canvas.width,
              canvas.pixels.begin() + static_cast<std::ptrdiff_t>(ctx.rowFrom) * canvas.width);
    pixelsTakenFromHeld_ = static_cast<size_t>(ctx.rowTo - ctx.rowFrom) * canvas.width;
    return;
  }
  // Row by row, the areas' spans joined where they meet, so that no pixel
  // is taken twice.
  const std::vector<PixelBounds>& areas = drawnOver_.areas;
  const PixelBounds around = AroundAll(areas, PixelBounds{});
  for (int y = around.y0; y < around.y1; ++y) {
    rowSpans_.clear();
    for (const PixelBounds& a : areas)
      if (y >= a.y0 && y < a.y1) rowSpans_.emplace_back(a.x0, a.x1);
    std::sort(rowSpans_.begin(), rowSpans_.end());
    const uint32_t* from = picture.Row(y);
    uint32_t* to = canvas.Row(y);
    for (size_t i = 0; i < rowSpans_.size();) {
      const int x0 = rowSpans_[i].first;
      int x1 = rowSpans_[i].second;
      for (++i; i < rowSpans_.size() && rowSpans_[i].first <= x1; ++i) x1 = std::max(x1, rowSpans_[i].second);
      std::copy(from + x0, from + x1, to + x0);
      pixelsTakenFromHeld_ += static_cast<size_t>(x1 - x0);
    }
  }
}

void FrameRenderer::DrawableAreas(const Clip& root, size_t from, const Context& ctx, std::vector<PixelBounds>& out) {
  // Beyond this many objects one rectangle around them all is kept.
  constexpr size_t kMostAreas = 64;
  // Past each object's reckoned bounds: the half pixel a cached or
  // filtered picture is moved by to sit on whole pixels, and the pens of a
  // text field's box, with room to spare.
  constexpr double kMargin = 2;
  out.clear();
  const Canvas& target = *ctx.target;
  size_t index = 0;
  for (const auto& [depth, object] : root.DisplayList()) {
    if (index++ < from || !object.character || object.clipDepth > 0) continue;
    const Matrix full = ctx.matrix * object.matrix;
    PixelRect b = DrawnBounds(object, full);
    const PixelRect own = OwnBounds(object, full);
    if (b.Empty()) {
      b = own;
    } else if (!own.Empty()) {
      b = {std::min(b.x0, own.x0), std::min(b.y0, own.y0), std::max(b.x1, own.x1), std::max(b.y1, own.y1)};
    }
    if (b.Empty()) continue;
    const PixelRect reach = FilterReach(object.filters, filterScale_);
    if (std::isnan(b.x0 - reach.x0) || std::isnan(b.y0 - reach.y0) || std::isnan(b.x1 + reach.x1) ||
        std::isnan(b.y1 + reach.y1)) {
      out.push_back({0, ctx.rowFrom, target.width, ctx.rowTo});  // no reckoning: everywhere
      continue;
    }
    // Bounds far off the canvas are cut before they become whole numbers.
    auto cut = [](double v, int low, int high) {
      return static_cast<int>(std::clamp(v, static_cast<double>(low), static_cast<double>(high)));
    };
    const PixelBounds area{cut(std::floor(b.x0 - reach.x0 - kMargin), 0, target.width),
                           cut(std::floor(b.y0 - reach.y0 - kMargin), ctx.rowFrom, ctx.rowTo),
                           cut(std::ceil(b.x1 + reach.x1 + kMargin), 0, target.width),
                           cut(std::ceil(b.y1 + reach.y1 + kMargin), ctx.rowFrom, ctx.rowTo)};
    if (!area.Empty()) out.push_back(area);
  }
  if (out.size() > kMostAreas) out.assign(1, AroundAll(out, PixelBounds{}));
}

std::unique_ptr<Canvas> FrameRenderer::TakeLayer(int width, int height) {
  std::unique_ptr<Canvas> layer;
  if (!spareLayers_.empty()) {
    layer = std::move(spareLayers_.back());
    spareLayers_.pop_back();
  } else {
    layer = std::make_unique<Canvas>();
  }
  if (layer->width != width || layer->height != height)
    layer->Resize(width, height);
  else
    layer->Clear(0);
  return layer;
}

void FrameRenderer::GiveBack(std::unique_ptr<Canvas> layer) { spareLayers_.push_back(std::move(layer)); }

void FrameRenderer::DrawClip(const Clip& clip, const Context& ctx, size_t from, size_t to) {
  if (++drawDepth_ > kMaxDrawDepth) {
    --drawDepth_;
    return;
  }
  struct ActiveMask {
    uint16_t clipDepth;
    CoveragePlane plane;
  };
  std::vector<ActiveMask> masks;
  // What scripts drew on the clip lies below all of its list.
  if (from == 0)
    if (const ShapeGeometry* drawing = DrawingGeometry(clip)) DrawShape(*drawing, ctx);
  size_t index = 0;
  for (const auto& [depth, object] : clip.DisplayList()) {
    // No mask lies before `from`: the skipped objects are plain ones.
    if (index >= to) break;
    if (index++ < from) continue;
    while (!masks.empty() && depth > masks.back().clipDepth) masks.pop_back();
    const CoveragePlane* mask = masks.empty() ? ctx.mask : &masks.back().plane;
    // Inside a clip drawn as a mask, its own masks neither clip nor add: the
    // reference pictures show the whole content of a masking sprite.
    if (object.clipDepth > 0 && ctx.maskMode) continue;
    if (object.clipDepth > 0) {
      // The mask's shape, cut by any mask around it, decides where the
      // objects up to its clip depth show.
      Context maskCtx = ctx;
      maskCtx.mask = mask;
      masks.push_back({object.clipDepth, MaskPlane(object, maskCtx)});
      continue;
    }
    // A script's mask is drawn where the clip it masks is.
    if (object.clip && object.clip->IsScriptMask()) continue;
    if (!object.visible) continue;
    Context childCtx = ctx;
    childCtx.mask = mask;
    DrawObject(object, childCtx);
  }
  --drawDepth_;
}

CoveragePlane FrameRenderer::MaskPlane(const DisplayObject& object, const Context& ctx) {
  std::unique_ptr<Canvas> layer = TakeLayer(ctx.target->width, ctx.target->height);
  Context maskCtx = ctx;
  maskCtx.target = layer.get();
  maskCtx.maskMode = true;
  DrawObject(object, maskCtx);
  CoveragePlane plane;
  plane.width = layer->width;
  plane.height = layer->height;
  plane.values.resize(layer->pixels.size());
  const size_t first = static_cast<size_t>(ctx.rowFrom) * layer->width;
  const size_t end = static_cast<size_t>(ctx.rowTo) * layer->width;
  for (size_t i = first; i < end; ++i) plane.values[i] = layer->pixels[i] >> 24;
  GiveBack(std::move(layer));
  return plane;
}

bool FrameRenderer::DrawScriptMasked(const DisplayObject& object, const Context& ctx) {
  const Clip* masked = object.clip.get();
  const Clip* mask = masked ? masked->ScriptMask() : nullptr;
  if (!mask || !masked->Parent() || !mask->Parent()) return false;
  // `ctx` maps the masked clip's parent to the target, layers included; the
  // mask is placed from there through the stage to its own parent.
  Matrix stageToParent;
  if (!ClipToStage(*masked->Parent()).Invert(stageToParent)) return true;  // flattened: shows nothing
  Context maskCtx = ctx;
  maskCtx.matrix = ctx.matrix * stageToParent * ClipToStage(*mask->Parent());
  const CoveragePlane plane = MaskPlane(*mask->Holder(), maskCtx);
  Context inner = ctx;
  inner.mask = &plane;
  inner.scriptMasked = true;
  DrawObject(object, inner);
  return true;
}

void FrameRenderer::DrawObject(const DisplayObject& object, const Context& ctx) {
  if (!object.character) return;
  if (!ctx.maskMode && !ctx.scriptMasked && DrawScriptMasked(object, ctx)) return;
  Context inner = ctx;
  inner.scriptMasked = false;
  inner.matrix = ctx.matrix * object.matrix;
  inner.cx = ctx.cx * object.colorTransform;
  const BlendMode mode = object.blendMode;
  // Alpha and erase act on the layer of an ancestor; without one the
  // object leaves what lies below it as it is, as the reference player does.
  if ((mode == BlendMode::Alpha || mode == BlendMode::Erase) && !ctx.insideLayer && !ctx.maskMode) return;
  if (object.cacheAsBitmap && object.filters.empty() && !ctx.maskMode) {
    // A cached object is drawn as a picture whose declared corner sits on a
    // whole pixel, as a filtered one is.
    const PixelRect b = ContentBounds(object, ctx.matrix);
    if (!b.Empty()) {
      inner.matrix.tx += std::round(b.x0) - b.x0;
      inner.matrix.ty += std::round(b.y0) - b.y0;
    }
  }
  const bool needsLayer = !ctx.maskMode && (mode != BlendMode::Normal || !object.filters.empty());
  if (!needsLayer) {
    DrawContent(object, inner);
    return;
  }
  if (object.blendMode == BlendMode::Layer) inner.insideLayer = true;
  if (!object.filters.empty())
    DrawFiltered(object, ctx, inner, mode);
  else
    DrawLayered(object, ctx, inner, mode);
}

void FrameRenderer::DrawLayered(const DisplayObject& object, const Context& ctx, Context inner, BlendMode mode) {
  const Canvas& target = *ctx.target;
  // The layer covers all that its content draws, rounded out to whole
  // pixels. Alpha keeps the declared bounds exactly: where the layer is
  // empty inside them it clears what lies below.
  const PixelRect b = mode == BlendMode::Alpha ? OwnBounds(object, inner.matrix) : DrawnBounds(object, inner.matrix);
  const int x0 = std::max(0, static_cast<int>(std::floor(b.x0)));
  const int y0 = std::max(ctx.rowFrom, static_cast<int>(std::floor(b.y0)));
  const int x1 = std::min(target.width, static_cast<int>(std::ceil(b.x1)));
  const int y1 = std::min(ctx.rowTo, static_cast<int>(std::ceil(b.y1)));
  if (b.Empty() || x1 <= x0 || y1 <= y0) return;
  std::unique_ptr<Canvas> layer = TakeLayer(x1 - x0, y1 - y0);
  inner.target = layer.get();
  inner.mask = nullptr;
  inner.rowFrom = 0;
  inner.rowTo = layer->height;
  inner.matrix.tx -= x0;
  inner.matrix.ty -= y0;
  // The colour transform tints the flattened picture: overlapping children
  // of a half-transparent group do not show through each other.
  inner.cx = ColorTransform();
  DrawContent(object, inner);
  TransformLayer(*layer, ctx.cx * object.colorTransform);
  CompositeLayerAt(*ctx.target, *layer, x0, y0, mode, ctx.mask);
  GiveBack(std::move(layer));
}

void FrameRenderer::DrawOpaqueBackground(const DisplayObject& object, const Context& ctx) {
  // The object's bounds on whole pixels, under its content and its filters.
  const PixelRect b = OwnBounds(object, ctx.matrix);
  if (b.Empty()) return;
  Canvas& target = *ctx.target;
  const int x0 = std::max(0, static_cast<int>(std::lround(b.x0)));
  const int y0 = std::max(ctx.rowFrom, static_cast<int>(std::lround(b.y0)));
  const int x1 = std::min(target.width, static_cast<int>(std::lround(b.x1)));
  const int y1 = std::min(ctx.rowTo, static_cast<int>(std::lround(b.y1)));
  if (x1 <= x0 || y1 <= y0) return;
  const uint32_t color = ctx.maskMode ? 0xFFFFFFFFu : PremultipliedArgb(ctx.cx.Apply(object.opaqueBackground));
  const std::vector<uint8_t> whole(static_cast<size_t>(x1 - x0), 255);
  for (int y = y0; y < y1; ++y)
    BlendSolidSpan(target.Row(y) + x0, color, whole.data(), ctx.mask ? ctx.mask->Row(y) + x0 : nullptr, x1 - x0);
}

void FrameRenderer::DrawFiltered(const DisplayObject& object, const Context& ctx, Context inner, BlendMode mode) {
  const PixelRect declared = ContentBounds(object, ctx.matrix);
  // The object is drawn as a picture whose declared corner sits on a whole
  // pixel; the layer holds all that its content draws.
  const double shiftX = std::round(declared.x0) - declared.x0, shiftY = std::round(declared.y0) - declared.y0;
  const PixelRect b = DrawnBounds(object, ctx.matrix * object.matrix);
  if (b.Empty()) return;
  // The layer holds the content and as far as the filters spread it, but no
  // further off the target than that spread could bring back.
  const PixelRect reach = FilterReach(object.filters, filterScale_);
  const Canvas& target = *ctx.target;
  // A shadow thrown thousands of pixels or a blur of many wide passes would
  // make a layer of many screens; beyond one screen's size past the target
  // the content is cut, so a damaged or hostile filter costs a bounded time.
  const double cap = std::max(target.width, target.height);
  const double marginX = std::min(std::max(reach.x0, reach.x1), cap);
  const double marginY = std::min(std::max(reach.y0, reach.y1), cap);
  const int x0 = static_cast<int>(std::floor(std::max(b.x0 + shiftX - reach.x0, -marginX)));
  const int y0 = static_cast<int>(std::floor(std::max(b.y0 + shiftY - reach.y0, ctx.rowFrom - marginY)));
  const int x1 = static_cast<int>(std::ceil(std::min(b.x1 + shiftX + reach.x1, target.width + marginX)));
  const int y1 = static_cast<int>(std::ceil(std::min(b.y1 + shiftY + reach.y1, ctx.rowTo + marginY)));
  if (x1 <= x0 || y1 <= y0) return;
  std::unique_ptr<Canvas> layer = TakeLayer(x1 - x0, y1 - y0);
  inner.target = layer.get();
  inner.mask = nullptr;
  inner.rowFrom = 0;
  inner.rowTo = layer->height;
  inner.matrix.tx += shiftX - x0;
  inner.matrix.ty += shiftY - y0;
  // The colour transform tints the filters' result, not only the content.
  inner.cx = ColorTransform();
  DrawContent(object, inner);
  for (const Filter& f : object.filters) ApplyFilter(f, filterScale_, *layer);
  TransformLayer(*layer, ctx.cx * object.colorTransform);
  CompositeLayerAt(*ctx.target, *layer, x0, y0, mode, ctx.mask, ctx.rowFrom, ctx.rowTo);
  GiveBack(std::move(layer));
}

void FrameRenderer::DrawContent(const DisplayObject& object, const Context& ctx) {
  if (object.hasOpaqueBackground) DrawOpaqueBackground(object, ctx);
  const Character& c = *object.character;
  switch (c.kind) {
    case Character::Kind::Shape:
      if (c.shape) DrawShape(GeometryOf(c.shape.get()), ctx);
      break;
    case Character::Kind::MorphShape:
      if (c.morph) DrawShape(GeometryOf(c.morph.get(), object.ratio), ctx);
      break;
    case Character::Kind::Sprite:
      if (object.clip) DrawClip(*object.clip, ctx);
      break;
    case Character::Kind::Text:
      if (c.text) DrawText(*c.text, ctx);
      break;
    case Character::Kind::EditText:
      if (c.editText) DrawEditText(*c.editText, object.field.get(), ctx);
      break;
    case Character::Kind::Bitmap:
      break;  // pictures are drawn through the shapes that fill with them
    case Character::Kind::Font:
      break;  // fonts are drawn through the texts that use them
    case Character::Kind::Button:
      if (object.clip) DrawClip(*object.clip, ctx);  // the state it shows
      break;
  }
}

const ShapeGeometry& FrameRenderer::GeometryOf(const Shape* shape) {
  auto it = shapes_.find(shape);
  if (it == shapes_.end()) it = shapes_.emplace(shape, BuildGeometry(*shape)).first;
  return it->second;
}

const ShapeGeometry* FrameRenderer::DrawingGeometry(const Clip& clip) {
  const ClipDrawing* drawing = clip.Drawing();
  if (!drawing || drawing->RecordCount() == 0) return nullptr;
  DrawingEntry& entry = drawings_[drawing];
  if (entry.version != drawing->Version()) {
    entry.geometry = BuildGeometry(drawing->GetShape());
    entry.version = drawing->Version();
  }
  entry.frame = frame_;
  return &entry.geometry;
}

const ShapeGeometry& FrameRenderer::GeometryOf(const MorphShape* morph, uint16_t ratio) {
  auto key = std::make_pair(morph, ratio);
  auto it = morphs_.find(key);
  if (it == morphs_.end()) {
    if (morphs_.size() >= kMaxMorphCache) morphs_.clear();
    it = morphs_.emplace(key, BuildGeometry(InterpolateMorph(*morph, ratio))).first;
  }
  return it->second;
}

void FrameRenderer::DrawShape(const ShapeGeometry& shape, const Context& ctx) {
  for (const StyleGroup& group : shape.groups) {
    DrawFills(shape, group, ctx);
    // A mask is its fills alone: the reference pictures clip along the fill's
    // edge even where the mask shape has a pen around it.
    if (!ctx.maskMode) DrawLines(group, ctx);
  }
}

void FrameRenderer::DrawText(const StaticText& text, const Context& ctx) {
  ForEachGlyph(text, movie_, [&](const PlacedGlyph& glyph) {
    DrawGlyph(glyph.outline, ctx.matrix * glyph.matrix, glyph.color, ctx);
  });
}

void FrameRenderer::DrawGlyph(const Shape* outline, const Matrix& matrix, Rgba color, const Context& ctx) {
  // The reference pictures place each glyph's origin on a whole twip and
  // draw its outline from there as it falls, with curves close to true.
  Context glyphCtx = ctx;
  glyphCtx.matrix = matrix;
  const Point origin = SnapToTwips({matrix.tx, matrix.ty});
  glyphCtx.matrix.tx = origin.x;
  glyphCtx.matrix.ty = origin.y;
  FillStyle style;
  style.color = color;
  const ShapeGeometry& geometry = GeometryOf(outline);
  fillRule_ = geometry.nonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd;
  for (const StyleGroup& group : geometry.groups)
    for (const FillGeometry& fill : group.fills) {
      if (fill.edges.empty()) continue;
      raster_.Reset(ctx.target->width, ctx.target->height, ctx.rowFrom, ctx.rowTo);
      AddFillEdges(fill.edges, glyphCtx.matrix, OutlineGrid::Glyph);
      PaintCoverage(style, glyphCtx, false, *ctx.target, ctx.mask);
    }
}

void FrameRenderer::AddFillEdges(const std::vector<Edge>& edges, const Matrix& m, OutlineGrid grid) {
  auto place = [&](Point p) { return grid == OutlineGrid::Twips ? SnapToTwips(m.Apply(p)) : m.Apply(p); };
  for (const Edge& e : edges) {
    const Point from = place(e.from), to = place(e.to);
    Point prev = from;
    if (e.curve) {
      QuadCuts(e.from, e.control, e.to, kCurveTolerance, curveCuts_);
      for (double t : curveCuts_) {
        const Point p = m.Apply(QuadPoint(e.from, e.control, e.to, t));
        raster_.AddLine(prev, p);
        prev = p;
      }
    }
    raster_.AddLine(prev, to);
  }
}

void FrameRenderer::PaintCoverage(const FillStyle& style, const Context& ctx, bool additive, Canvas& target,
                                  const CoveragePlane* mask) {
  if (ctx.maskMode) {
    raster_.Render(fillRule_, options_.antialias, [&](int y, int x, int n, const uint8_t* cov) {
      BlendSolidSpan(target.Row(y) + x, 0xFFFFFFFFu, cov, mask ? mask->Row(y) + x : nullptr, n);
    });
    return;
  }
  const Bitmap* bitmap = nullptr;
  if (style.kind == FillKind::Bitmap) {
    const Character* c = movie_.Find(style.bitmapId);
    if (c && c->kind == Character::Kind::Bitmap) bitmap = c->bitmap.get();
  }
  const bool gradient = style.kind == FillKind::LinearGradient || style.kind == FillKind::RadialGradient ||
                        style.kind == FillKind::FocalGradient;
  const GradientRamp* ramp = gradient ? &RampOf(style.gradient, ctx.cx, options_.gradientSteps) : nullptr;
  Paint paint(style, ctx.matrix, ctx.cx, bitmap, options_.smoothBitmaps, options_.gradientSteps, ramp);
  // Whether every colour of the paint is opaque, asked at the first long
  // span (a gradient's whole ramp is looked through).
  constexpr int kLongSpan = 32;
  int opaque = additive || mask ? 0 : -1;
  auto sink = [&](int y, int x, int n, const uint8_t* cov) {
    uint32_t* dst = target.Row(y) + x;
    if (!additive) {
      if (opaque < 0 && n >= kLongSpan) opaque = paint.Opaque() ? 1 : 0;
      CoverSpan(paint, opaque > 0, y, x, n, cov, mask ? mask->Row(y) + x : nullptr, dst, paintRow_);
      return;
    }
    if (paintRow_.size() < static_cast<size_t>(n)) paintRow_.resize(n);
    paint.Fill(y, x, n, paintRow_.data());
    AddSpan(dst, paintRow_.data(), cov, n);
  };
  raster_.Render(fillRule_, options_.antialias, sink);
}

const GradientRamp& FrameRenderer::RampOf(const Gradient& gradient, const ColorTransform& cx, RampSteps steps) {
  constexpr size_t kMostRamps = 32;
  auto same = [&](const KeptRamp& k) {
    return k.steps == steps && k.interpolation == gradient.interpolation && k.cx == cx && k.stops == gradient.stops;
  };
  ++rampUses_;
  for (KeptRamp& k : ramps_)
    if (same(k)) {
      k.lastUsed = rampUses_;
      return *k.ramp;
    }
  // A new look: in a free place, or in that of the ramp used longest ago.
  KeptRamp* slot;
  if (ramps_.size() < kMostRamps) {
    slot = &ramps_.emplace_back();
    slot->ramp = std::make_unique<GradientRamp>();
  } else {
    slot = &*std::min_element(ramps_.begin(), ramps_.end(),
                              [](const KeptRamp& a, const KeptRamp& b) { return a.lastUsed < b.lastUsed; });
  }
  slot->interpolation = gradient.interpolation;
  slot->stops = gradient.stops;
  slot->cx = cx;
  slot->steps = steps;
  slot->lastUsed = rampUses_;
  *slot->ramp = BuildGradientRamp(gradient, cx, steps);
  return *slot->ramp;
}

void FrameRenderer::DrawFills(const ShapeGeometry& shape, const StyleGroup& group, const Context& ctx) {
  fillRule_ = shape.nonZeroWinding ? FillRule::NonZero : FillRule::EvenOdd;
  Canvas& target = *ctx.target;
  // A fill that paints nothing (a missing picture, a wholly transparent
  // colour) leaves every pixel as it is, drawn alone or added into a layer.
  auto paints = [&](const FillGeometry& fill) {
    return !fill.edges.empty() && (ctx.maskMode || !PaintsNothing(fill.style, ctx));
  };
  int painting = 0;
  for (const FillGeometry& fill : group.fills) painting += paints(fill) ? 1 : 0;
  if (painting == 0) return;
  // With anti-aliasing, the fills of a group are added up in a layer first so
  // that where two fills meet their partial coverages sum to a whole pixel.
  // A single fill that paints gives the same pixels drawn straight, unless a
  // mask scales the layer as a whole.
  const bool layered = options_.antialias && !ctx.maskMode && group.fills.size() > 1 && (painting > 1 || ctx.mask);
  PixelBounds area{};
  if (layered) {
    // Kept clear between uses: only the area drawn is cleared afterwards.
    // It is never made smaller, so layers of many sizes share it.
    if (fillLayer_.width < target.width || fillLayer_.height < target.height)
      fillLayer_.Resize(std::max(fillLayer_.width, target.width), std::max(fillLayer_.height, target.height));
  }
  for (const FillGeometry& fill : group.fills) {
    if (!paints(fill)) continue;
    raster_.Reset(target.width, target.height, ctx.rowFrom, ctx.rowTo);
    AddFillEdges(fill.edges, ctx.matrix);
    if (layered) {
      area = Around(area, raster_.Bounds());
      PaintCoverage(fill.style, ctx, true, fillLayer_, nullptr);
    } else {
      PaintCoverage(fill.style, ctx, false, target, ctx.mask);
    }
  }
  if (layered && !area.Empty()) {
    CompositeLayer(target, fillLayer_, BlendMode::Normal, ctx.mask, area.x0, area.y0, area.x1, area.y1);
    for (int y = area.y0; y < area.y1; ++y)
      std::fill(fillLayer_.Row(y) + area.x0, fillLayer_.Row(y) + area.x1, 0u);
  }
}

bool FrameRenderer::PaintsNothing(const FillStyle& style, const Context& ctx) const {
  if (style.kind == FillKind::Solid) return PremultipliedArgb(ctx.cx.Apply(style.color)) == 0;
  if (style.kind != FillKind::Bitmap) return false;
  const Character* c = movie_.Find(style.bitmapId);
  return !c || c->kind != Character::Kind::Bitmap || !c->bitmap || c->bitmap->width == 0 || c->bitmap->height == 0;
}

void FrameRenderer::DrawLines(const StyleGroup& group, const Context& ctx) {
  const double scale = LineScale(ctx.matrix);
  for (const LineGeometry& line : group.lines) {
    if (line.paths.empty()) continue;
    raster_.Reset(ctx.target->width, ctx.target->height, ctx.rowFrom, ctx.rowTo);
    // A pen narrower than a pixel on screen is drawn one pixel wide there;
    // any other is laid in the shape's space and transformed with it.
    const bool hairline = line.style.width * scale < 1;
    const Matrix identity;
    const Matrix& toPixels = hairline ? identity : ctx.matrix;
    StrokeOptions options;
    options.width = hairline ? 1.0 : line.style.width;
    // Round parts within the curves' tolerance: in the shape's units, or in
    // pixels (a twentieth of the twips' figure) for a hairline.
    options.tolerance = hairline ? kCurveTolerance / 20 : kCurveTolerance;
    options.startCap = line.style.startCap;
    options.endCap = line.style.endCap;
    options.join = line.style.join;
    options.miterLimit = line.style.miterLimit;
    options.noClose = line.style.noClose;
    for (const StrokePath& path : line.paths) {
      strokePoints_.clear();
      auto place = [&](Point p) { return hairline ? ctx.matrix.Apply(p) : p; };
      strokePoints_.push_back({place(path.edges.front().from)});
      for (const Edge& e : path.edges) {
        if (e.curve) {
          QuadCuts(e.from, e.control, e.to, kCurveTolerance, curveCuts_);
          for (double t : curveCuts_) strokePoints_.push_back({place(QuadPoint(e.from, e.control, e.to, t)), true});
        }
        strokePoints_.push_back({place(e.to)});
      }
      AddStroke(strokePoints_, options, toPixels, raster_);
    }
    FillStyle style;
    if (line.style.hasFill) {
      style = line.style.fill;
    } else {
      style.kind = FillKind::Solid;
      style.color = line.style.color;
    }
    FillRule saved = fillRule_;
    fillRule_ = FillRule::NonZero;
    PaintCoverage(style, ctx, false, *ctx.target, ctx.mask);
    fillRule_ = saved;
  }
}

}  // namespace velmora::swf
