#include "player/render/DeviceGlyphs.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

constexpr double kTwipsPerPixel = 20;
// A face, a size and a character make one glyph; a movie whose texts ask for
// more than this many (a hostile one) has the rest fetched again each time.
constexpr size_t kMaxCachedGlyphs = 8192;
constexpr size_t kMaxCachedFonts = 256;

Point Twips(Point p) { return {p.x * kTwipsPerPixel, p.y * kTwipsPerPixel}; }

}  // namespace

std::shared_ptr<const Shape> OutlineShape(const GlyphOutline& outline) {
  auto shape = std::make_shared<Shape>();
  shape->nonZeroWinding = true;
  shape->styleTables.emplace_back();
  FillStyle fill;
  fill.color = {255, 255, 255, 255};
  shape->styleTables[0].fills.push_back(fill);
  bool first = true;
  Rect box;
  for (const GlyphOutline::Piece& piece : outline.pieces) {
    ShapeRecord r;
    r.anchor = Twips(piece.to);
    switch (piece.kind) {
      case GlyphOutline::Piece::Kind::Move:
        r.kind = ShapeRecord::Kind::StyleChange;
        r.hasMove = true;
        // Every contour is bounded by fill 1 on the same side, so the
        // source's own winding decides what is inside.
        r.hasFill1 = first;
        r.fill1 = 1;
        first = false;
        break;
      case GlyphOutline::Piece::Kind::Line: r.kind = ShapeRecord::Kind::Line; break;
      case GlyphOutline::Piece::Kind::Curve:
        r.kind = ShapeRecord::Kind::Curve;
        r.control = Twips(piece.control);
        break;
    }
    if (first) continue;  // pieces before the first move have no start
    shape->records.push_back(r);
    box.xMin = std::min(box.xMin, static_cast<int32_t>(std::floor(r.anchor.x)));
    box.xMax = std::max(box.xMax, static_cast<int32_t>(std::ceil(r.anchor.x)));
    box.yMin = std::min(box.yMin, static_cast<int32_t>(std::floor(r.anchor.y)));
    box.yMax = std::max(box.yMax, static_cast<int32_t>(std::ceil(r.anchor.y)));
  }
  shape->bounds = box;
  return shape;
}

const DeviceGlyphs::Glyph* DeviceGlyphs::Find(const DeviceFont& font, char32_t code) {
  if (!source_) return nullptr;
  const auto key = std::make_pair(font, code);
  auto it = glyphs_.find(key);
  if (it != glyphs_.end()) return it->second.outline || it->second.advance > 0 ? &it->second : nullptr;
  GlyphOutline outline;
  Glyph glyph;
  if (source_->Glyph(font, code, outline)) {
    glyph.advance = std::max(0.0, outline.advance) * kTwipsPerPixel;
    if (!outline.pieces.empty()) glyph.outline = OutlineShape(outline);
  }
  if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();
  it = glyphs_.emplace(key, std::move(glyph)).first;
  return it->second.outline || it->second.advance > 0 ? &it->second : nullptr;
}

bool DeviceGlyphs::Metrics(const DeviceFont& font, DeviceFontMetrics& out) {
  if (!source_) return false;
  auto it = metrics_.find(font);
  if (it != metrics_.end()) {
    out = it->second;
    return true;
  }
  if (missingFaces_.count(font)) return false;
  if (metrics_.size() + missingFaces_.size() >= kMaxCachedFonts) {
    metrics_.clear();
    missingFaces_.clear();
  }
  DeviceFontMetrics m;
  if (!source_->Metrics(font, m)) {
    missingFaces_.emplace(font, true);
    return false;
  }
  m.ascent = std::max(0.0, m.ascent) * kTwipsPerPixel;
  m.descent = std::max(0.0, m.descent) * kTwipsPerPixel;
  metrics_.emplace(font, m);
  out = m;
  return true;
}

}  // namespace velmora::swf
