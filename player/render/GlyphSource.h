// Where device fonts come from: the system's glyph outlines for text fields
// that name a font the movie does not embed (_sans, _serif, _typewriter,
// Arial, ...). The player draws no device text without one; each platform
// gives its own (GDI on Windows, a font file in the tools and tests).
#pragma once

#include "player/swf/SwfTypes.h"

#include <string>
#include <vector>

namespace velmora::swf {

struct DeviceFont {
  std::string face;  // as the movie names it, UTF-8
  bool bold = false, italic = false;
  double emSize = 12;  // pixels per em

  bool operator<(const DeviceFont& o) const {
    if (face != o.face) return face < o.face;
    if (bold != o.bold) return bold < o.bold;
    if (italic != o.italic) return italic < o.italic;
    return emSize < o.emSize;
  }
};

struct DeviceFontMetrics {
  double ascent = 0, descent = 0;  // pixels above and below the baseline
};

// A glyph's outline in pixels at the font's em size, y down from the baseline
// at x 0: closed contours, each opened by a move, of lines and quadratic
// curves (TrueType's own pieces).
struct GlyphOutline {
  struct Piece {
    enum class Kind : uint8_t { Move, Line, Curve } kind = Kind::Line;
    Point control, to;  // `control` for curves only
  };
  std::vector<Piece> pieces;
  double advance = 0;  // pixels to the next glyph's origin
};

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // False when no face of the system can stand for `font`. May be called
  // from two drawing threads at once.
  virtual bool Metrics(const DeviceFont& font, DeviceFontMetrics& out) = 0;
  // False when the face has no glyph for `code` (the text leaves it out).
  virtual bool Glyph(const DeviceFont& font, char32_t code, GlyphOutline& out) = 0;
};

}  // namespace velmora::swf
