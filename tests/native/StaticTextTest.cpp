// Embedded fonts and static text on movies of our own making: how their
// bodies are read and where the glyphs land.
#include "player/MoviePlayback.h"
#include "player/ScaleMode.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

namespace velmora::swf {
namespace {

using test::PlaceAt;

constexpr uint16_t kDefineText = 11, kDefineFont3 = 75;
constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueBlue = 0xFF0000FF;

// One glyph: a square half the EM wide, sitting on the baseline, with the
// code 'A' and an advance of 600 units.
Bytes SquareFont3(uint16_t id) {
  const int32_t half = 20480 / 2;
  BitWriter glyph;
  glyph.UBits(1, 4);  // fill bits
  glyph.UBits(0, 4);  // line bits
  glyph.UBits(0, 1);  // style change: fill 1, move
  glyph.UBits(0x05, 5);
  glyph.UBits(15, 5);
  glyph.SBits(0, 15);
  glyph.SBits(-half, 15);
  glyph.UBits(1, 1);
  auto straight = [&](bool vertical, int32_t delta) {
    glyph.UBits(3, 2);  // edge, straight
    glyph.UBits(13, 4);  // 15 bits
    glyph.UBits(0, 1);
    glyph.UBits(vertical ? 1 : 0, 1);
    glyph.SBits(delta, 15);
  };
  straight(false, half);
  straight(true, half);
  straight(false, -half);
  straight(true, -half);
  glyph.UBits(0, 6);  // end
  glyph.Align();

  BitWriter body;
  body.UI16(id);
  body.UI8(0x80);  // layout, narrow offsets and codes
  body.UI8(0);     // language
  body.UI8(0);     // no name
  body.UI16(1);
  body.UI16(4);  // the glyph, after this offset and the code table offset
  body.UI16(static_cast<uint16_t>(4 + glyph.Data().size()));
  body.Append(glyph.Data());
  body.UI8('A');
  body.UI16(1024);  // ascent
  body.UI16(0);     // descent
  body.UI16(0);     // leading
  body.UI16(600);   // advance
  body.UI8(0);  // bounds: an empty rectangle
  body.UI16(0);  // no kerning
  return body.Data();
}

// Two squares 100 pixels high in red, 60 pixels apart, the baseline at y 75;
// the text's declared bounds `bounds`.
Bytes TwoSquaresText(uint16_t id, uint16_t fontId, const Rect& bounds = {0, 4000, 0, 2000}) {
  BitWriter body;
  body.UI16(id);
  body.RectField(bounds);
  body.MatrixField(Matrix{});
  body.UI8(1);   // glyph bits
  body.UI8(12);  // advance bits
  body.UI8(0x8F);  // font, colour, x and y
  body.UI16(fontId);
  body.Rgb({255, 0, 0});
  body.UI16(200);
  body.UI16(1500);
  body.UI16(2000);
  body.UI8(2);
  body.UBits(0, 1);
  body.SBits(1200, 12);
  body.UBits(0, 1);
  body.SBits(0, 12);
  body.Align();
  body.UI8(0);
  return body.Data();
}

MovieWriter TextMovie(const PlaceObject& place = PlaceAt(1, 2)) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.Raw(kDefineFont3, SquareFont3(1));
  t.Raw(kDefineText, TwoSquaresText(2, 1));
  t.Place(place);
  t.ShowFrame();
  return movie;
}

// The movie's first frame drawn on a 100 x 100 canvas.
Canvas FirstFrame(const MovieWriter& movie, bool high) {
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  Canvas c;
  c.Resize(100, 100);
  p.Draw(c, ScaleMode::ExactFit, high);
  return c;
}

TEST(StaticText, ReadsTheFontAndTheRecords) {
  Bytes bytes = TextMovie().Finish(Compression::kNone);
  ParseResult parsed = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_FALSE(parsed.partial) << parsed.error;
  const Character* font = parsed.movie.Find(1);
  ASSERT_TRUE(font && font->kind == Character::Kind::Font && font->font);
  EXPECT_DOUBLE_EQ(font->font->emSize, 20480);
  ASSERT_EQ(font->font->glyphs.size(), 1u);
  EXPECT_EQ(font->font->glyphs[0]->records.size(), 5u);  // the move with its fill, four edges
  ASSERT_EQ(font->font->codes.size(), 1u);
  EXPECT_EQ(font->font->codes[0], 'A');
  ASSERT_EQ(font->font->advances.size(), 1u);
  EXPECT_EQ(font->font->advances[0], 600);

  const Character* text = parsed.movie.Find(2);
  ASSERT_TRUE(text && text->kind == Character::Kind::Text && text->text);
  ASSERT_EQ(text->text->records.size(), 1u);
  const TextRecord& r = text->text->records[0];
  EXPECT_EQ(r.fontId, 1);
  EXPECT_EQ(r.color, (Rgba{255, 0, 0, 255}));
  EXPECT_DOUBLE_EQ(r.x, 200);
  EXPECT_DOUBLE_EQ(r.y, 1500);
  EXPECT_EQ(r.height, 2000);
  ASSERT_EQ(r.glyphs.size(), 2u);
  EXPECT_EQ(r.glyphs[0].advance, 1200);
}

TEST(StaticText, DrawsGlyphsScaledFromTheirEmSquareAlongTheAdvances) {
  for (bool high : {false, true}) {
    const Canvas c = FirstFrame(TextMovie(), high);
    // First square: x 10..60, y 25..75; the second starts at x 70.
    EXPECT_EQ(c.Row(50)[30], kOpaqueRed);
    EXPECT_EQ(c.Row(50)[65], kOpaqueBlue);
    EXPECT_EQ(c.Row(50)[80], kOpaqueRed);
    EXPECT_EQ(c.Row(20)[30], kOpaqueBlue);
    EXPECT_EQ(c.Row(80)[30], kOpaqueBlue);
    EXPECT_EQ(c.Row(26)[11], kOpaqueRed);
    EXPECT_EQ(c.Row(74)[59], kOpaqueRed);
  }
}

TEST(StaticText, PlacesEachGlyphOriginOnAWholeTwipAndItsOutlineFromThere) {
  // Stretched 1.00858 times across, the first square starts at 201.7 twips,
  // held at 202, and ends 1008.6 twips further at 1210.6: past the centre of
  // pixel 60 (1210 twips), which it takes. Put on whole twips point by point,
  // the right edge would be 1210 and leave the pixel out.
  PlaceObject place = PlaceAt(1, 2);
  place.matrix.a = 66098 / 65536.0;
  const Canvas c = FirstFrame(TextMovie(place), false);
  EXPECT_EQ(c.Row(50)[10], kOpaqueRed);
  EXPECT_EQ(c.Row(50)[60], kOpaqueRed);
  EXPECT_EQ(c.Row(50)[61], kOpaqueBlue);
}

TEST(StaticText, AHalfTransparentGroupKeepsTheGlyphsPastTheTextsDeclaredBounds) {
  // Bounds 5 pixels short of the first square's left edge and of the
  // baseline; the text in a sprite of the layer mode at half alpha, or
  // with a filter that leaves it as it is.
  for (bool filtered : {false, true}) {
    MovieWriter movie({0, 2000, 0, 2000}, 12);
    TagWriter& t = movie.Timeline();
    t.SetBackgroundColor({0, 0, 255});
    t.Raw(kDefineFont3, SquareFont3(1));
    t.Raw(kDefineText, TwoSquaresText(2, 1, {300, 2400, 500, 1400}));
    TagWriter group;
    group.Place(PlaceAt(1, 2));
    group.ShowFrame();
    t.DefineSprite(3, group);
    PlaceObject place = PlaceAt(1, 3);
    place.hasBlendMode = !filtered;
    place.blendMode = BlendMode::Layer;
    place.hasFilters = filtered;
    place.filters = {Filter::Blur(1, 1, 1)};
    place.hasColorTransform = true;
    place.colorTransform = ColorTransform::Alpha(0.5);
    t.Place(place);
    t.ShowFrame();
    const Canvas c = FirstFrame(movie, filtered);
    const uint32_t halfRed = c.Row(50)[30];
    EXPECT_NEAR(static_cast<int>(halfRed >> 16 & 0xFF), 128, 2);
    for (int x : {10, 12, 14}) EXPECT_EQ(c.Row(50)[x], halfRed) << "left edge, x " << x;
    for (int y : {70, 72, 74}) EXPECT_EQ(c.Row(y)[30], halfRed) << "bottom edge, y " << y;
    EXPECT_EQ(c.Row(50)[9], kOpaqueBlue);
    EXPECT_EQ(c.Row(75)[30], kOpaqueBlue);
  }
}

}  // namespace
}  // namespace velmora::swf
