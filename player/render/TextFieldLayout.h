// Where a text field's glyphs go: its text broken into lines within its box
// (word wrap, the paragraphs' alignment, margins, indent and leading), each
// glyph with the matrix from its outline to the field's twips and its colour.
// The reference player keeps a gutter of 2 pixels inside the box on every
// side; an auto-sized field's box grows or shrinks to its text.
#pragma once

#include "player/render/DeviceGlyphs.h"
#include "player/swf/HtmlText.h"
#include "player/swf/SwfMovie.h"

#include <memory>
#include <vector>

namespace velmora::swf {

constexpr double kTextGutter = 40;  // twips

struct LaidGlyph {
  const Shape* outline = nullptr;
  Matrix matrix;  // outline units to the field's twips
  Rgba color;
  bool device = false;  // from the system's fonts
};

struct LaidRule {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // twips
  Rgba color;
};

struct LaidLine {
  double left = 0, width = 0;  // twips, the glyphs' extent without trailing spaces
  double baseline = 0, ascent = 0, descent = 0;
  size_t firstGlyph = 0, glyphCount = 0;  // into FieldLayout::glyphs
};

struct FieldLayout {
  Rect bounds;  // the box, after auto-size
  std::vector<LaidGlyph> glyphs;
  std::vector<LaidRule> underlines;
  std::vector<LaidLine> lines;
  bool deviceText = false;
  // The device glyphs' outlines, kept while the layout is.
  std::vector<std::shared_ptr<const Shape>> deviceOutlines;
};

// The field's text as the movie gives it, with the field's own formats.
FormattedText FieldText(const EditText& field, const Movie& movie);
// `text` in the field's formats, instead of its initial text (markup when
// the field is HTML).
FormattedText FieldText(const EditText& field, const std::u32string& text, const Movie& movie);

// `device` gives the glyphs of fonts the movie does not embed (none drawn
// without it).
FieldLayout LayOutField(const EditText& field, const FormattedText& text, const Movie& movie, DeviceGlyphs* device);

}  // namespace velmora::swf
