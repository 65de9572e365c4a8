// Device text: fields drawn through a glyph source (one of the test's own,
// and the real DejaVu files through our TrueType reader), and the reader on
// its own.
#include "player/render/TextFieldLayout.h"
#include "tests/native/TextFixtures.h"
#include "tools/FontFileGlyphSource.h"
#include "tools/TrueTypeFont.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

namespace velmora::swf {
namespace {

using test::DrawFirstFrame;
using test::HasInk;
using test::kStageBlue;

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint16_t kDeviceFontId = 3;

// Every character a square of half the em on the baseline, advancing 0.6 em;
// an ascent of 0.8 em and a descent of 0.2. Remembers what it was asked.
class SquareGlyphs : public GlyphSource {
 public:
  bool Metrics(const DeviceFont& font, DeviceFontMetrics& out) override {
    std::lock_guard<std::mutex> lock(mutex_);
    asked.push_back(font);
    out.ascent = 0.8 * font.emSize;
    out.descent = 0.2 * font.emSize;
    return true;
  }
  bool Glyph(const DeviceFont& font, char32_t code, GlyphOutline& out) override {
    ++glyphCalls;
    if (code == U'~') return false;  // a character the face lacks
    const double s = font.emSize / 2;
    using Kind = GlyphOutline::Piece::Kind;
    out.pieces = {{Kind::Move, {}, {0, 0}}, {Kind::Line, {}, {0, -s}}, {Kind::Line, {}, {s, -s}},
                  {Kind::Line, {}, {s, 0}}, {Kind::Line, {}, {0, 0}}};
    out.advance = 0.6 * font.emSize;
    return true;
  }
  std::mutex mutex_;
  std::vector<DeviceFont> asked;
  std::atomic<int> glyphCalls{0};
};

// A field in the device font "_sans" at 20 pixels per em.
EditText DeviceField(const std::string& text) {
  EditText f = test::BlockField(text, 100, 40);
  f.fontId = kDeviceFontId;
  f.useOutlines = false;
  return f;
}

MovieWriter DeviceMovie(const EditText& field, const Matrix& matrix = Matrix{}) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  FontBuilder name(3);  // a font without glyphs names the device font
  name.SetName("_sans");
  t.DefineFont(kDeviceFontId, name);
  t.DefineEditText(test::kFieldId, field);
  PlaceObject p = test::PlaceAt(1, test::kFieldId);
  p.matrix = matrix;
  t.Place(p);
  t.ShowFrame();
  return movie;
}

TEST(DeviceText, IsDrawnWithTheGlyphSourcesOutlines) {
  auto source = std::make_shared<SquareGlyphs>();
  const Canvas c = DrawFirstFrame(DeviceMovie(DeviceField("ab~c")), false, source);
  // Baseline at 2 + 16; squares of 10 pixels every 12, the missing '~' left out.
  EXPECT_EQ(c.Row(12)[2], kBlack);
  EXPECT_EQ(c.Row(12)[11], kBlack);
  EXPECT_EQ(c.Row(12)[12], kStageBlue);
  EXPECT_EQ(c.Row(12)[14], kBlack);
  EXPECT_EQ(c.Row(12)[26], kBlack);
  EXPECT_EQ(c.Row(12)[38], kStageBlue);
  EXPECT_EQ(c.Row(8)[2], kBlack);
  EXPECT_EQ(c.Row(7)[2], kStageBlue);
  EXPECT_EQ(c.Row(18)[2], kStageBlue);
  ASSERT_FALSE(source->asked.empty());
  EXPECT_EQ(source->asked[0].face, "_sans");
  EXPECT_DOUBLE_EQ(source->asked[0].emSize, 20);
  // Without a source the field draws no text.
  EXPECT_FALSE(HasInk(DrawFirstFrame(DeviceMovie(DeviceField("ab"))), 0, 0, 100, 100));
}

TEST(DeviceText, IsNotDrawnTurnedOrMirroredButItsBoxIs) {
  auto source = std::make_shared<SquareGlyphs>();
  EditText f = DeviceField("abc");
  f.border = true;
  const Matrix turned = Matrix::ScaleRotateTranslate(1, 1, 0.3, 400, 200);
  const Canvas c = DrawFirstFrame(DeviceMovie(f, turned), true, source);
  // The box is white inside its black edge; no black square lies inside it.
  EXPECT_TRUE(HasInk(c, 0, 0, 100, 100));
  int black = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) black += c.Row(y)[x] == kBlack;
  EXPECT_LT(black, 40);  // the pen's few fully covered pixels, not 3 squares of 100
  const Matrix mirrored{-1, 0, 0, 1, 1800, 0};
  const Canvas m = DrawFirstFrame(DeviceMovie(DeviceField("abc"), mirrored), false, source);
  EXPECT_FALSE(HasInk(m, 0, 0, 100, 100));
  // A scaled one is drawn.
  const Canvas s = DrawFirstFrame(DeviceMovie(DeviceField("abc"), Matrix::Scale(2, 1)), false, source);
  EXPECT_TRUE(HasInk(s, 0, 0, 100, 100));
}

TEST(DeviceText, TheDejaVuFilesDrawGlyphs) {
  auto source = std::make_shared<tools::FontFileGlyphSource>(VELMORA_DEJAVU_DIR);
  DeviceFontMetrics m;
  ASSERT_TRUE(source->Metrics({"_sans", false, false, 20}, m)) << "fonts-dejavu-core is not installed";
  EXPECT_GT(m.ascent, 14);
  EXPECT_LT(m.ascent, 22);
  EXPECT_GT(m.descent, 2);
  EXPECT_EQ(tools::FontFileGlyphSource::FileFor({"Courier New", true, false, 12}, true), "DejaVuSansMono-Bold.ttf");
  EXPECT_EQ(tools::FontFileGlyphSource::FileFor({"Times New Roman", false, true, 12}, true), "DejaVuSerif-Italic.ttf");
  EXPECT_EQ(tools::FontFileGlyphSource::FileFor({"Unheard Of", false, false, 12}, true), "DejaVuSans.ttf");
  const Canvas c = DrawFirstFrame(DeviceMovie(DeviceField("Hi")), true, source);
  // 'H' stands on the baseline (row 2 + ascent) from the gutter on.
  const int baseline = 2 + static_cast<int>(m.ascent);
  EXPECT_TRUE(HasInk(c, 2, baseline - 14, 20, baseline));
  EXPECT_FALSE(HasInk(c, 0, baseline + 1, 100, 100));
  EXPECT_FALSE(HasInk(c, 40, 0, 100, 100));
  EXPECT_FALSE(HasInk(c, 0, 0, 100, 2));
}

std::vector<uint8_t> DejaVuSansBytes() {
  std::ifstream in(std::string(VELMORA_DEJAVU_DIR) + "/DejaVuSans.ttf", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TrueTypeFont, ReadsMetricsAdvancesAndOutlines) {
  tools::TrueTypeFont font;
  ASSERT_TRUE(font.LoadBytes(DejaVuSansBytes()));
  EXPECT_EQ(font.UnitsPerEm(), 2048);
  EXPECT_GT(font.Ascent(), 1500);
  EXPECT_GT(font.Descent(), 300);
  const uint32_t h = font.GlyphIndex(U'H');
  ASSERT_NE(h, 0u);
  EXPECT_EQ(font.GlyphIndex(0xE000), 0u);  // private use: not in the font
  EXPECT_GT(font.Advance(h), 1000);
  GlyphOutline outline;
  ASSERT_TRUE(font.Outline(h, 20, outline));
  // 'H' is one contour of straight edges, 20 pixels per em, above the baseline.
  double top = 0, right = 0;
  int moves = 0;
  for (const auto& piece : outline.pieces) {
    moves += piece.kind == GlyphOutline::Piece::Kind::Move;
    top = std::min(top, piece.to.y);
    right = std::max(right, piece.to.x);
  }
  EXPECT_EQ(moves, 1);
  EXPECT_NEAR(top, -14.6, 0.5);  // DejaVu's capital height
  EXPECT_GT(right, 10);
  EXPECT_NEAR(outline.advance, font.Advance(h) * 20.0 / 2048, 1e-9);
  // 'O' has two contours of curves; 'Ä' is composed of parts (A and the dots).
  ASSERT_TRUE(font.Outline(font.GlyphIndex(U'O'), 20, outline));
  int curves = 0;
  moves = 0;
  for (const auto& piece : outline.pieces) {
    moves += piece.kind == GlyphOutline::Piece::Kind::Move;
    curves += piece.kind == GlyphOutline::Piece::Kind::Curve;
  }
  EXPECT_EQ(moves, 2);
  EXPECT_GT(curves, 8);
  GlyphOutline plain, composed;
  ASSERT_TRUE(font.Outline(font.GlyphIndex(U'A'), 20, plain));
  ASSERT_TRUE(font.Outline(font.GlyphIndex(0xC4), 20, composed));
  EXPECT_GT(composed.pieces.size(), plain.pieces.size());
}

TEST(TrueTypeFont, DamagedFilesAreRefusedOrReadSafely) {
  const std::vector<uint8_t> bytes = DejaVuSansBytes();
  ASSERT_GT(bytes.size(), 1000u);
  tools::TrueTypeFont font;
  EXPECT_FALSE(font.LoadBytes({}));
  EXPECT_FALSE(font.Load(std::string(VELMORA_DEJAVU_DIR) + "/no-such-font.ttf"));
  // Cut short or with bytes overwritten, a font reads what it can, never
  // past its data (the sanitizers watch).
  for (size_t cut : {size_t{12}, size_t{200}, bytes.size() / 3, bytes.size() - 1}) {
    font.LoadBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    GlyphOutline o;
    for (char32_t code : {U'A', U'O', char32_t{0xC4}}) font.Outline(font.GlyphIndex(code), 20, o);
  }
  std::vector<uint8_t> noisy = bytes;
  for (size_t i = 400; i < noisy.size(); i += 997) noisy[i] ^= 0x5A;
  if (font.LoadBytes(noisy)) {
    GlyphOutline o;
    for (char32_t code = 32; code < 600; ++code) font.Outline(font.GlyphIndex(code), 20, o);
  }
}

}  // namespace
}  // namespace velmora::swf
