// Where the glyphs of a static text go: each glyph's outline with the matrix
// from its EM square to the text's space and its colour.
#pragma once

#include "player/swf/SwfMovie.h"

namespace velmora::swf {

struct PlacedGlyph {
  const Shape* outline = nullptr;
  Matrix matrix;  // glyph units to the text character's twips
  Rgba color;
};

// Calls `visit(const PlacedGlyph&)` for every glyph whose font and outline
// exist, in drawing order.
template <typename Visit>
void ForEachGlyph(const StaticText& text, const Movie& movie, Visit&& visit) {
  for (const TextRecord& record : text.records) {
    const Character* c = movie.Find(record.fontId);
    if (!c || c->kind != Character::Kind::Font || !c->font) continue;
    const Font& font = *c->font;
    const double scale = record.height / font.emSize;
    double x = record.x;
    for (const TextGlyph& g : record.glyphs) {
      if (g.index < font.glyphs.size() && font.glyphs[g.index]) {
        PlacedGlyph placed;
        placed.outline = font.glyphs[g.index].get();
        placed.matrix = text.matrix * Matrix{scale, 0, 0, scale, x, record.y};
        placed.color = record.color;
        visit(placed);
      }
      x += g.advance;
    }
  }
}

}  // namespace velmora::swf
