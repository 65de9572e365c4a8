// Device fonts' glyphs as the renderer draws them: the outlines a glyph
// source gives, turned into glyph shapes in twips, kept per face, size and
// character so that each is asked for once.
#pragma once

#include "player/render/GlyphSource.h"
#include "player/swf/SwfMovie.h"

#include <map>
#include <memory>
#include <utility>

namespace velmora::swf {

// A glyph outline in pixels as a shape in twips, filled by the non-zero rule
// (TrueType's), with fill style 1.
std::shared_ptr<const Shape> OutlineShape(const GlyphOutline& outline);

class DeviceGlyphs {
 public:
  explicit DeviceGlyphs(GlyphSource* source) : source_(source) {}

  struct Glyph {
    std::shared_ptr<const Shape> outline;  // null for a blank (a space)
    double advance = 0;                    // twips
  };
  // Null when the font or the character cannot be had.
  const Glyph* Find(const DeviceFont& font, char32_t code);
  // In twips; false when no face stands for `font`.
  bool Metrics(const DeviceFont& font, DeviceFontMetrics& out);
  bool Available() const { return source_ != nullptr; }

 private:
  GlyphSource* source_;
  std::map<std::pair<DeviceFont, char32_t>, Glyph> glyphs_;
  std::map<DeviceFont, DeviceFontMetrics> metrics_;
  std::map<DeviceFont, bool> missingFaces_;
};

}  // namespace velmora::swf
