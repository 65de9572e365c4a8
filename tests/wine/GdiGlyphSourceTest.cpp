// The system's fonts for device text, under Wine: the faces the generic
// names go to, GDI's outlines and metrics, and a movie's text field drawn
// with them.
#include "player/MoviePlayback.h"
#include "player/swf/SwfWriter.h"
#include "wallpaper/GdiGlyphSource.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora {
namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

TEST(GdiGlyphSource, GenericNamesGoToFacesTheSystemHas) {
  GdiGlyphSource source;
  for (const char* name : {"_sans", "_serif", "_typewriter", "No Such Face At All"})
    EXPECT_FALSE(source.FaceFor(name).empty()) << name;
  // A face the system lacks is drawn as _sans.
  EXPECT_EQ(source.FaceFor("No Such Face At All"), source.FaceFor("_sans"));
  swf::DeviceFontMetrics m;
  ASSERT_TRUE(source.Metrics({"_sans", false, false, 20}, m));
  EXPECT_GT(m.ascent, 10);
  EXPECT_LT(m.ascent, 30);
  EXPECT_GT(m.descent, 1);
}

TEST(GdiGlyphSource, GivesOutlinesInPixelsAtTheEmSize) {
  GdiGlyphSource source;
  swf::GlyphOutline h;
  ASSERT_TRUE(source.Glyph({"_sans", false, false, 20}, U'H', h));
  ASSERT_FALSE(h.pieces.empty());
  EXPECT_EQ(h.pieces.front().kind, swf::GlyphOutline::Piece::Kind::Move);
  double top = 0, right = 0;
  for (const auto& piece : h.pieces) {
    top = std::min(top, piece.to.y);
    right = std::max(right, piece.to.x);
  }
  EXPECT_LT(top, -10);  // above the baseline, y down
  EXPECT_GT(top, -20);
  EXPECT_GT(right, 8);
  EXPECT_GT(h.advance, 8);
  // Twice the size, twice the outline.
  swf::GlyphOutline big;
  ASSERT_TRUE(source.Glyph({"_sans", false, false, 40}, U'H', big));
  double bigTop = 0;
  for (const auto& piece : big.pieces) bigTop = std::min(bigTop, piece.to.y);
  EXPECT_NEAR(bigTop, 2 * top, 1.5);
  // 'O' has curves; a space is only an advance.
  swf::GlyphOutline o, space;
  ASSERT_TRUE(source.Glyph({"_sans", false, false, 20}, U'O', o));
  bool curve = false;
  for (const auto& piece : o.pieces) curve |= piece.kind == swf::GlyphOutline::Piece::Kind::Curve;
  EXPECT_TRUE(curve);
  ASSERT_TRUE(source.Glyph({"_sans", false, false, 20}, U' ', space));
  EXPECT_TRUE(space.pieces.empty());
  EXPECT_GT(space.advance, 0);
  EXPECT_FALSE(source.Glyph({"_sans", false, false, 20}, 0x1F600, o));  // beyond one UTF-16 unit
}

// A 200 x 200 pixel white movie with a "_sans" field of text at (20, 20).
swf::Bytes DeviceTextMovie() {
  swf::MovieWriter movie({0, 4000, 0, 4000}, 12);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({255, 255, 255});
  swf::FontBuilder name(3);
  name.SetName("_sans");
  t.DefineFont(1, name);
  swf::EditText f;
  f.bounds = {0, 3000, 0, 3000};
  f.hasFont = true;
  f.fontId = 1;
  f.height = 600;  // 30 pixels
  f.hasColor = true;
  f.wordWrap = f.multiline = true;
  f.initialText = "Hello\rWorld and more";
  t.DefineEditText(2, f);
  swf::PlaceObject p;
  p.depth = 1;
  p.hasCharacter = true;
  p.characterId = 2;
  p.hasMatrix = true;
  p.matrix = swf::Matrix::Translate(400, 400);
  t.Place(p);
  t.ShowFrame();
  return movie.Finish(swf::Compression::kNone);
}

TEST(GdiGlyphSource, DrawsAMoviesDeviceTextInTwoBandsAtOnce) {
  const swf::Bytes bytes = DeviceTextMovie();
  swf::MoviePlayback playback;
  playback.SetGlyphSource(std::make_shared<GdiGlyphSource>());
  ASSERT_TRUE(playback.LoadBytes(bytes.data(), bytes.size())) << playback.Error();
  playback.Step();
  swf::Canvas c;
  c.Resize(200, 200);  // tall enough for two bands, each with its renderer
  playback.Draw(c, swf::ScaleMode::ExactFit, true);
  auto inked = [&](int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < 200; ++x) n += c.Row(y)[x] != kOpaqueWhite;
    return n;
  };
  EXPECT_GT(inked(20, 60), 100);   // "Hello"
  EXPECT_GT(inked(60, 110), 100);  // "World and more", wrapped or not, on the next line
  EXPECT_EQ(inked(0, 20), 0);
  EXPECT_EQ(inked(160, 200), 0);
}

}  // namespace
}  // namespace velmora
