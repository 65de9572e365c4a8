// Text-field movies of our own making: a font of plain blocks whose glyphs
// are easy to find in a picture, and a field on a blue stage.
#pragma once

#include "player/MoviePlayback.h"
#include "player/ScaleMode.h"
#include "player/swf/SwfWriter.h"
#include "tests/native/MovieFixtures.h"

#include <memory>
#include <string>

namespace velmora::test {

// The block font, in DefineFont3's EM of 20480 units: at 400 twips per em
// (20 pixels) each unit below is a pixel.
constexpr int32_t kEmUnitsPerPixel = 20480 / 20;
constexpr uint16_t kBlockFontSize = 400;
constexpr uint16_t kBlockFontId = 1, kFieldId = 2;
constexpr uint32_t kStageBlue = 0xFF0000FF;

// 'A': a block 8 pixels wide and 10 high on the baseline, advance 10.
// 'W': a block 18 wide and 10 high, advance 20. '*': a block 4 x 4 raised 6
// above the baseline, advance 10. ' ': no outline, advance 5. The line has
// an ascent of 15 pixels and a descent of 5; 'A' kerns by -2 pixels before 'W'.
inline swf::FontBuilder BlockFont(const std::string& name = "Blocks", bool bold = false, bool italic = false) {
  swf::FontBuilder font(3);
  font.SetName(name);
  font.SetStyle(bold, italic);
  font.SetMetrics(15 * kEmUnitsPerPixel, 5 * kEmUnitsPerPixel, 0);
  auto block = [](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    swf::ShapeBuilder s;
    const unsigned fill = s.AddSolidFill({255, 255, 255, 255});
    s.SelectStyles(0, fill, 0);
    s.Rectangle({x0 * kEmUnitsPerPixel, x1 * kEmUnitsPerPixel, y0 * kEmUnitsPerPixel, y1 * kEmUnitsPerPixel});
    return s;
  };
  font.AddGlyph(' ', swf::ShapeBuilder(), 5 * kEmUnitsPerPixel);
  font.AddGlyph('A', block(0, -10, 8, 0), 10 * kEmUnitsPerPixel);
  font.AddGlyph('W', block(0, -10, 18, 0), 20 * kEmUnitsPerPixel);
  font.AddGlyph('*', block(0, -10, 4, -6), 10 * kEmUnitsPerPixel);
  font.AddKerning('A', 'W', -2 * kEmUnitsPerPixel);
  return font;
}

// A field of `width` x `height` pixels in the block font, black text.
inline swf::EditText BlockField(const std::string& text, int width, int height) {
  swf::EditText f;
  f.bounds = {0, width * 20, 0, height * 20};
  f.hasFont = true;
  f.fontId = kBlockFontId;
  f.height = kBlockFontSize;
  f.hasColor = true;
  f.color = {0, 0, 0, 255};
  f.useOutlines = true;
  f.wordWrap = f.multiline = true;
  f.initialText = text;
  return f;
}

// A 100 x 100 pixel movie on blue with the block font and `field` at (x, y) pixels.
inline swf::MovieWriter FieldMovie(const swf::EditText& field, int x = 0, int y = 0,
                                   const swf::Matrix* matrix = nullptr) {
  swf::MovieWriter movie({0, 2000, 0, 2000}, 12);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineFont(kBlockFontId, BlockFont());
  t.DefineEditText(kFieldId, field);
  swf::PlaceObject p = PlaceAt(1, kFieldId, x * 20, y * 20);
  if (matrix) p.matrix = *matrix;
  t.Place(p);
  t.ShowFrame();
  return movie;
}

// The first frame at 1:1, without anti-aliasing (whole pixels) unless `high`.
inline swf::Canvas DrawFirstFrame(const swf::MovieWriter& movie, bool high = false,
                                  std::shared_ptr<swf::GlyphSource> glyphs = nullptr) {
  swf::MoviePlayback p = LoadMovie(movie);
  p.SetGlyphSource(std::move(glyphs));
  p.Step();
  swf::Canvas c;
  c.Resize(100, 100);
  p.Draw(c, swf::ScaleMode::ExactFit, high);
  return c;
}

// Whether any pixel of [x0, x1) x [y0, y1) is not `background`.
inline bool HasInk(const swf::Canvas& c, int x0, int y0, int x1, int y1, uint32_t background = kStageBlue) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (c.Row(y)[x] != background) return true;
  return false;
}

}  // namespace velmora::test
