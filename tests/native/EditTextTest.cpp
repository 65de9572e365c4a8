// Text fields on movies of our own making, in the block font: how the tag is
// read and written, where the lines and glyphs go, and the pixels drawn.
#include "player/render/TextFieldLayout.h"
#include "player/swf/SwfParser.h"
#include "tests/native/TextFixtures.h"

#include <gtest/gtest.h>

namespace velmora::swf {
namespace {

using test::BlockField;
using test::DrawFirstFrame;
using test::FieldMovie;
using test::kStageBlue;

constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kGreen = 0xFF00FF00;

ParseResult Parse(const MovieWriter& movie) {
  const Bytes bytes = movie.Finish(Compression::kNone);
  return ParseMovie(bytes.data(), bytes.size());
}

FieldLayout LayOut(const EditText& field) {
  const ParseResult parsed = Parse(FieldMovie(field));
  EXPECT_TRUE(parsed.ok && !parsed.partial) << parsed.error;
  const Character* c = parsed.movie.Find(test::kFieldId);
  EXPECT_TRUE(c && c->kind == Character::Kind::EditText && c->editText);
  if (!c || !c->editText) return {};
  return LayOutField(*c->editText, FieldText(*c->editText, parsed.movie), parsed.movie, nullptr);
}

// The x of each glyph of the layout in pixels, and each line's baseline.
std::vector<double> GlyphXs(const FieldLayout& l) {
  std::vector<double> xs;
  for (const LaidGlyph& g : l.glyphs) xs.push_back(g.matrix.tx / 20);
  return xs;
}

TEST(EditTextTag, IsWrittenAndReadWithEveryField) {
  EditText f = BlockField("<b>x</b>", 50, 20);
  f.password = f.readOnly = f.noSelect = f.border = f.html = f.autoSize = f.wasStatic = true;
  f.maxLength = 12;
  f.align = TextAlign::Justify;
  f.leftMargin = 20;
  f.rightMargin = 40;
  f.indent = 60;
  f.leading = -20;
  f.color = {1, 2, 3, 200};
  f.variableName = "_root.score";
  const ParseResult parsed = Parse(FieldMovie(f));
  ASSERT_TRUE(parsed.ok && !parsed.partial) << parsed.error;
  const EditText& r = *parsed.movie.Find(test::kFieldId)->editText;
  EXPECT_EQ(r.bounds.xMax, 1000);
  EXPECT_EQ(r.bounds.yMax, 400);
  EXPECT_TRUE(r.wordWrap && r.multiline && r.password && r.readOnly && r.noSelect && r.border && r.html &&
              r.autoSize && r.wasStatic && r.useOutlines && r.hasFont && r.hasColor);
  EXPECT_EQ(r.fontId, test::kBlockFontId);
  EXPECT_EQ(r.height, test::kBlockFontSize);
  EXPECT_EQ(r.color, (Rgba{1, 2, 3, 200}));
  EXPECT_EQ(r.maxLength, 12);
  EXPECT_EQ(r.align, TextAlign::Justify);
  EXPECT_EQ(r.leftMargin, 20);
  EXPECT_EQ(r.rightMargin, 40);
  EXPECT_EQ(r.indent, 60);
  EXPECT_EQ(r.leading, -20);
  EXPECT_EQ(r.variableName, "_root.score");
  EXPECT_EQ(r.initialText, "<b>x</b>");

  const Font& font = *parsed.movie.Find(test::kBlockFontId)->font;
  EXPECT_EQ(font.name, "Blocks");
  EXPECT_DOUBLE_EQ(font.ascent, 15 * test::kEmUnitsPerPixel);
  EXPECT_DOUBLE_EQ(font.descent, 5 * test::kEmUnitsPerPixel);
  ASSERT_EQ(font.glyphOfCode.count('W'), 1u);
  EXPECT_EQ(font.kerning.at({'A', 'W'}), -2 * test::kEmUnitsPerPixel);
}

TEST(EditTextTag, CutShortKeepsTheBoxAndReportsTheDamage) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  BitWriter body;
  body.UI16(test::kFieldId);
  body.RectField({0, 400, 0, 200});
  body.UI8(0x01);  // has a font, whose id the tag no longer holds
  body.UI8(0);
  movie.Timeline().Raw(tag::kDefineEditText, body.Data());
  movie.Timeline().ShowFrame();
  const ParseResult parsed = Parse(movie);
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.partial);
  const Character* c = parsed.movie.Find(test::kFieldId);
  ASSERT_TRUE(c && c->editText);
  EXPECT_EQ(c->editText->bounds.xMax, 400);
}

TEST(EditTextTag, FontInfoGivesAFirstVersionFontItsNameAndCodes) {
  // DefineFont with one empty glyph, then its info: wide codes, bold.
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  BitWriter font;
  font.UI16(7);
  font.UI16(2);  // one offset
  font.UI8(0x10);  // an empty shape: no fill or line bits, then the end
  font.UI8(0);
  BitWriter info;
  info.UI16(7);
  info.UI8(4);
  for (char ch : std::string("Mono")) info.UI8(static_cast<uint8_t>(ch));
  info.UI8(0x02 | 0x01);  // bold, wide codes
  info.UI16(0x263A);
  movie.Timeline().Raw(tag::kDefineFont, font.Data());
  movie.Timeline().Raw(tag::kDefineFontInfo, info.Data());
  movie.Timeline().ShowFrame();
  const ParseResult parsed = Parse(movie);
  ASSERT_TRUE(parsed.ok && !parsed.partial) << parsed.error;
  const Font& f = *parsed.movie.Find(7)->font;
  EXPECT_EQ(f.name, "Mono");
  EXPECT_TRUE(f.bold);
  EXPECT_FALSE(f.italic);
  ASSERT_EQ(f.glyphOfCode.count(0x263A), 1u);
  EXPECT_EQ(f.glyphOfCode.at(0x263A), 0u);
}

TEST(EditTextLayout, AlignsEachLineLeftCentreRightOrJustified) {
  // Room inside the gutters: 96 pixels; "AA" is 20 pixels of advances.
  EditText f = BlockField("AA", 100, 40);
  EXPECT_EQ(GlyphXs(LayOut(f)), (std::vector<double>{2, 12}));
  f.align = TextAlign::Right;
  EXPECT_EQ(GlyphXs(LayOut(f)), (std::vector<double>{78, 88}));
  f.align = TextAlign::Center;
  EXPECT_EQ(GlyphXs(LayOut(f)), (std::vector<double>{40, 50}));
  // Justified: the wrapped line's space takes what the line leaves free, the
  // paragraph's last line stays left.
  f = BlockField("A A AAAAAAAA", 100, 60);
  f.align = TextAlign::Justify;
  const FieldLayout l = LayOut(f);
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(GlyphXs(l)[0], 2);
  EXPECT_EQ(GlyphXs(l)[1], 2 + 10 + 5 + (96 - 25.0));  // "A A" is 25 pixels wide
  EXPECT_EQ(GlyphXs(l)[2], 2);

  // And in pixels: the first block's left edge.
  for (TextAlign align : {TextAlign::Left, TextAlign::Center, TextAlign::Right}) {
    EditText p = BlockField("AA", 100, 40);
    p.align = align;
    const int left = align == TextAlign::Left ? 2 : align == TextAlign::Center ? 40 : 78;
    const Canvas c = DrawFirstFrame(FieldMovie(p));
    EXPECT_EQ(c.Row(12)[left - 1], kStageBlue) << int(align);
    EXPECT_EQ(c.Row(12)[left], kBlack) << int(align);
    EXPECT_EQ(c.Row(12)[left + 7], kBlack) << int(align);
    EXPECT_EQ(c.Row(12)[left + 8], kStageBlue) << int(align);
  }
}

TEST(EditTextLayout, WrapsAtTheLastSpaceAndBreaksAWordTooLongForTheLine) {
  // Room 30: "AA " fits, the next "AA" goes to the second line, whose
  // baseline lies a descent and an ascent below the first.
  FieldLayout l = LayOut(BlockField("AA AA", 34, 60));
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[0].baseline, 17 * 20);
  EXPECT_EQ(l.lines[1].baseline, 37 * 20);
  EXPECT_EQ(l.lines[0].width, 20 * 20);  // the trailing space does not count
  EXPECT_EQ(GlyphXs(l), (std::vector<double>{2, 12, 2, 12}));
  // A word wider than the room is cut where it stops fitting.
  l = LayOut(BlockField("AAAA", 34, 60));
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[0].glyphCount, 3u);
  // Without word wrap the line runs on, cut at the box.
  EditText f = BlockField("AA AA", 34, 60);
  f.wordWrap = false;
  EXPECT_EQ(LayOut(f).lines.size(), 1u);
  const Canvas c = DrawFirstFrame(FieldMovie(f));
  EXPECT_EQ(c.Row(12)[29], kBlack);   // the third block starts at 27
  EXPECT_EQ(c.Row(12)[34], kStageBlue);  // past the box

  // Drawn wrapped: the second line's blocks on rows 27 to 36.
  const Canvas w = DrawFirstFrame(FieldMovie(BlockField("AA AA", 34, 60)));
  EXPECT_EQ(w.Row(27)[2], kBlack);
  EXPECT_EQ(w.Row(36)[13], kBlack);
  EXPECT_EQ(w.Row(37)[2], kStageBlue);
  EXPECT_EQ(w.Row(12)[27], kStageBlue);
}

TEST(EditTextLayout, LeadingMarginsAndIndentMoveTheLines) {
  EditText f = BlockField("AA AA", 44, 80);
  f.leading = 100;     // 5 pixels more between lines
  f.leftMargin = 200;  // 10 pixels
  f.rightMargin = 0;
  f.indent = 100;      // 5 pixels, first line only
  const FieldLayout l = LayOut(f);
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_EQ(l.lines[1].baseline - l.lines[0].baseline, 25 * 20);
  EXPECT_EQ(GlyphXs(l), (std::vector<double>{17, 27, 12, 22}));
  // A right margin takes room: with 15 pixels of it each line holds one block.
  f.rightMargin = 300;
  f.indent = 0;
  EXPECT_EQ(LayOut(f).lines.size(), 4u);
}

TEST(EditTextLayout, KernsPairsWhenTheMarkupAsks) {
  EditText f = BlockField("<font kerning=\"1\">AW</font> AW", 100, 40);
  f.html = true;
  // The first pair 2 pixels closer; the space (no outline) is not a glyph.
  EXPECT_EQ(GlyphXs(LayOut(f)), (std::vector<double>{2, 10, 35, 45}));
}

TEST(EditTextLayout, PasswordShowsStarsAndAutoSizeFitsTheBox) {
  EditText f = BlockField("AAA", 10, 10);
  f.password = true;
  f.wordWrap = false;
  f.autoSize = true;
  const FieldLayout l = LayOut(f);
  ASSERT_EQ(l.glyphs.size(), 3u);
  // 30 pixels of stars, 20 of line height, and the gutters.
  EXPECT_EQ(l.bounds.Width(), 34 * 20);
  EXPECT_EQ(l.bounds.Height(), 24 * 20);
  const Canvas c = DrawFirstFrame(FieldMovie(f));
  EXPECT_EQ(c.Row(8)[23], kBlack);       // the third star, 6 to 10 above the baseline
  EXPECT_EQ(c.Row(12)[23], kStageBlue);  // no 'A' block below it
  // A centred field grows on both sides.
  f.password = false;
  f.align = TextAlign::Center;
  f.bounds = {400, 600, 0, 200};
  const FieldLayout centred = LayOut(f);
  EXPECT_EQ(centred.bounds.xMin, 500 - 340);
  EXPECT_EQ(centred.bounds.xMax, 500 + 340);
}

TEST(EditTextLayout, HtmlGivesRunsTheirColoursSizesAndParagraphs) {
  EditText f = BlockField(
      "<p align=\"right\"><font color=\"#00FF00\">A</font><font size=\"40\">A</font></p><p>A&amp;<u>A</u></p>", 100,
      100);
  f.html = true;
  const FieldLayout l = LayOut(f);
  ASSERT_EQ(l.lines.size(), 2u);
  ASSERT_EQ(l.glyphs.size(), 4u);  // the block font has no '&'
  EXPECT_EQ(l.glyphs[0].color, (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(l.glyphs[1].color, (Rgba{0, 0, 0, 255}));
  EXPECT_DOUBLE_EQ(l.glyphs[1].matrix.a, 2 * l.glyphs[0].matrix.a);
  // The larger run sets the first line's ascent: 30 pixels.
  EXPECT_EQ(l.lines[0].baseline, (2 + 30) * 20);
  ASSERT_EQ(l.underlines.size(), 1u);

  const Canvas c = DrawFirstFrame(FieldMovie(f));
  // Right-aligned: 10 + 20 pixels of advances end at 98.
  EXPECT_EQ(c.Row(27)[70], kGreen);
  EXPECT_EQ(c.Row(27)[78], kBlack);
  EXPECT_EQ(c.Row(13)[80], kBlack);     // the big block is 20 pixels high
  EXPECT_EQ(c.Row(13)[70], kStageBlue);  // the small one is not
}

TEST(EditTextDrawing, BorderAndBackgroundOnWholePixels) {
  EditText f = BlockField("", 40, 20);
  f.border = true;
  const Canvas c = DrawFirstFrame(FieldMovie(f, 10, 10));
  EXPECT_EQ(c.Row(10)[10], kBlack);
  EXPECT_EQ(c.Row(10)[50], kBlack);  // the top row reaches the far column
  EXPECT_EQ(c.Row(30)[10], kBlack);  // the left column the far row
  EXPECT_EQ(c.Row(29)[50], kBlack);
  EXPECT_EQ(c.Row(30)[49], kBlack);
  EXPECT_EQ(c.Row(30)[50], kStageBlue);  // the far corner stays open
  EXPECT_EQ(c.Row(11)[11], kWhite);
  EXPECT_EQ(c.Row(29)[49], kWhite);
  EXPECT_EQ(c.Row(9)[10], kStageBlue);
  EXPECT_EQ(c.Row(31)[20], kStageBlue);
  // Half a pixel rounds down.
  Matrix half = Matrix::Translate(10.5 * 20, 10.5 * 20);
  const Canvas moved = DrawFirstFrame(FieldMovie(f, 0, 0, &half));
  EXPECT_EQ(moved.Row(10)[10], kBlack);
  EXPECT_EQ(moved.Row(9)[9], kStageBlue);
}

TEST(EditTextDrawing, FollowsItsPlacementsMatrixAndColourTransform) {
  EditText f = BlockField("AA", 40, 20);
  f.border = true;
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineFont(test::kBlockFontId, test::BlockFont());
  t.DefineEditText(test::kFieldId, f);
  PlaceObject p = test::PlaceAt(1, test::kFieldId);
  p.matrix = Matrix::Scale(2, 2);
  p.hasColorTransform = true;
  p.colorTransform.rAdd = 255;  // black text and border red, the white background stays
  t.Place(p);
  t.ShowFrame();
  PlaceObject move = test::MoveTo(1, 200, 0);
  move.matrix.a = move.matrix.d = 2;
  t.Place(move);
  t.ShowFrame();
  t.Remove(1);
  t.ShowFrame();
  MoviePlayback playback = test::LoadMovie(movie);
  Canvas c;
  c.Resize(100, 100);
  playback.Step();
  playback.Draw(c, ScaleMode::ExactFit, false);
  EXPECT_EQ(c.Row(24)[4], 0xFFFF0000u);   // the first block, twice as large
  EXPECT_EQ(c.Row(24)[19], 0xFFFF0000u);  // ... and 16 pixels wide
  EXPECT_EQ(c.Row(24)[20], 0xFFFFFFFFu);
  EXPECT_EQ(c.Row(0)[0], 0xFFFF0000u);    // the border
  playback.Step();
  playback.Draw(c, ScaleMode::ExactFit, false);
  EXPECT_EQ(c.Row(24)[14], 0xFFFF0000u);  // moved 10 pixels on
  EXPECT_EQ(c.Row(24)[4], kStageBlue);
  playback.Step();
  playback.Draw(c, ScaleMode::ExactFit, false);
  EXPECT_FALSE(test::HasInk(c, 0, 0, 100, 100));
}

}  // namespace
}  // namespace velmora::swf
