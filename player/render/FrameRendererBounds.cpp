// The renderer's reckoning of where an object's drawing can reach, for the
// layers that hold it while it is tinted, blended or filtered.
#include "player/render/FrameRenderer.h"

#include "player/render/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

// Nesting beyond this is not drawn (the renderer's own limit) nor measured.
constexpr int kMaxBoundsDepth = 64;
// Past an outline's box a pixel of anti-aliasing, half a pixel of a pen
// drawn a pixel wide however thin, and the twips grid the points are put on.
constexpr double kPixelMargin = 2;

void Include(PixelRect& out, bool& any, const PixelRect& r) {
  if (r.Empty()) return;
  if (!any) {
    out = r;
    any = true;
    return;
  }
  out.x0 = std::min(out.x0, r.x0);
  out.y0 = std::min(out.y0, r.y0);
  out.x1 = std::max(out.x1, r.x1);
  out.y1 = std::max(out.y1, r.y1);
}

// The box of `e` (widened by its pens) under `m`, then by the pixel margin.
PixelRect ExtentOnDevice(const ShapeExtent& e, const Matrix& m) {
  if (e.empty) return {};
  const double reach = e.penReach;
  const Point corners[4] = {{e.x0 - reach, e.y0 - reach}, {e.x1 + reach, e.y0 - reach},
                            {e.x0 - reach, e.y1 + reach}, {e.x1 + reach, e.y1 + reach}};
  PixelRect r;
  for (int i = 0; i < 4; ++i) {
    const Point p = m.Apply(corners[i]);
    if (i == 0) r = {p.x, p.y, p.x, p.y};
    r.x0 = std::min(r.x0, p.x);
    r.y0 = std::min(r.y0, p.y);
    r.x1 = std::max(r.x1, p.x);
    r.y1 = std::max(r.y1, p.y);
  }
  return {r.x0 - kPixelMargin, r.y0 - kPixelMargin, r.x1 + kPixelMargin, r.y1 + kPixelMargin};
}

}  // namespace

PixelRect FrameRenderer::DrawnBounds(const DisplayObject& object, const Matrix& full) {
  PixelRect out;
  bool any = false;
  AddDrawnBounds(object, full, out, any, 0);
  return out;
}

void FrameRenderer::AddDrawnBounds(const DisplayObject& object, const Matrix& full, PixelRect& out, bool& any,
                                   int depth) {
  if (!object.character || depth > kMaxBoundsDepth) return;
  // The opaque background fills the declared bounds.
  if (object.hasOpaqueBackground) Include(out, any, OwnBounds(object, full));
  const Character& c = *object.character;
  switch (c.kind) {
    case Character::Kind::Shape:
      if (c.shape) Include(out, any, ExtentOnDevice(GeometryOf(c.shape.get()).extent, full));
      return;
    case Character::Kind::MorphShape:
      if (c.morph) Include(out, any, ExtentOnDevice(GeometryOf(c.morph.get(), object.ratio).extent, full));
      return;
    case Character::Kind::Text:
      if (c.text)
        ForEachGlyph(*c.text, movie_, [&](const PlacedGlyph& glyph) {
          Include(out, any, ExtentOnDevice(GeometryOf(glyph.outline).extent, full * glyph.matrix));
        });
      return;
    case Character::Kind::Sprite:
    case Character::Kind::Button:
      if (!object.clip) return;
      if (const ShapeGeometry* drawing = DrawingGeometry(*object.clip))
        Include(out, any, ExtentOnDevice(drawing->extent, full));
      for (const auto& [d, child] : object.clip->DisplayList()) {
        // A mask only takes away from what it covers.
        if (child.clipDepth > 0 || !child.visible) continue;
        PixelRect own;
        bool anyOwn = false;
        AddDrawnBounds(child, full * child.matrix, own, anyOwn, depth + 1);
        if (!anyOwn) continue;
        const PixelRect reach = FilterReach(child.filters, filterScale_);
        Include(out, any, {own.x0 - reach.x0, own.y0 - reach.y0, own.x1 + reach.x1, own.y1 + reach.y1});
      }
      return;
    default:
      // Anything else reaches as far as its declared bounds.
      Include(out, any, OwnBounds(object, full));
      return;
  }
}

}  // namespace velmora::swf
