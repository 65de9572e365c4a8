// TextFormat on a text field: setTextFormat's size, colour and alignment
// change how the field is drawn, unset (null) parts keep what was set, the
// format is the call's last argument, and getTextFormat reads it back.
#include "ScriptedMovies.h"
#include "TextFixtures.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using swf::MoviePlayback;

constexpr uint32_t kRed = 0xFFFF0000u;

// A 100 x 100 pixel movie: "out", an 80 x 40 field of "A" in the block font
// (20 pixels to the em, black); one frame per script, the last one stops.
swf::MovieWriter FormatMovie(const std::vector<ActionAssembler>& scripts) {
  swf::MovieWriter movie({0, 2000, 0, 2000}, 12, 8);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineFont(kBlockFontId, BlockFont());
  swf::EditText f = BlockField("A", 80, 40);
  f.wordWrap = f.multiline = false;
  t.DefineEditText(kFieldId, f);
  t.Place(PlaceNamed(1, kFieldId, "out"));
  for (size_t i = 0; i < scripts.size(); ++i) {
    ActionAssembler a = scripts[i];
    if (i + 1 == scripts.size()) a.Do(Op::Stop);
    t.DoAction(a.Bytes());
    t.ShowFrame();
  }
  return movie;
}

// fmt = new TextFormat(); fmt.size = 40; fmt.color = 0xFF0000; out.setTextFormat(fmt);
ActionAssembler BigRed() {
  ActionAssembler a;
  a.Push({"fmt", 0, "TextFormat"}).Do(Op::NewObject).Do(Op::SetVariable);
  GetVar(a, "fmt").Push({"size", 40}).Do(Op::SetMember);
  GetVar(a, "fmt").Push({"color", 0xFF0000}).Do(Op::SetMember);
  GetVar(a, "fmt").Push({1});
  GetVar(a, "out").Push({"setTextFormat"}).Do(Op::CallMethod).Do(Op::Pop);
  return a;
}

// out.setTextFormat(0, 1, new TextFormat(null, ... 8 nulls, "right"));
// g = out.getTextFormat(); trace(g.size); trace(g.align); trace(out.textColor);
ActionAssembler RightAlignedAndRead() {
  ActionAssembler a;
  a.Push({"right"});
  for (int i = 0; i < 8; ++i) a.Push({avm1::PushArg::Null()});
  a.Push({9, "TextFormat"}).Do(Op::NewObject);
  a.Push({1, 0, 3});
  GetVar(a, "out").Push({"setTextFormat"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({"g", 0});
  GetVar(a, "out").Push({"getTextFormat"}).Do(Op::CallMethod).Do(Op::SetVariable);
  GetVar(a, "g").Push({"size"}).Do(Op::GetMember).Do(Op::Trace);
  GetVar(a, "g").Push({"align"}).Do(Op::GetMember).Do(Op::Trace);
  GetVar(a, "out").Push({"textColor"}).Do(Op::GetMember).Do(Op::Trace);
  return a;
}

swf::Canvas Draw(MoviePlayback& p) {
  swf::Canvas c;
  c.Resize(100, 100);
  p.Draw(c, swf::ScaleMode::ExactFit, false);
  return c;
}

TEST(TextFormat, SizeColourAndAlignmentChangeTheDrawnFieldAndReadBack) {
  MoviePlayback p = LoadMovie(FormatMovie({ActionAssembler(), BigRed(), RightAlignedAndRead()}));
  p.Step();
  swf::Canvas plain = Draw(p);
  // 'A' at 20 pixels: 8 x 10 from the 2-pixel gutter, on the baseline at 17.
  EXPECT_TRUE(HasInk(plain, 2, 7, 10, 17));
  EXPECT_FALSE(HasInk(plain, 12, 20, 18, 32));
  p.Step();
  swf::Canvas big = Draw(p);
  // At 40: 16 x 20, on the baseline at 32, red.
  EXPECT_TRUE(HasInk(big, 12, 20, 18, 32)) << "the glyph grew with the size";
  EXPECT_EQ(big.Row(25)[8], kRed);
  p.Step();
  swf::Canvas right = Draw(p);
  EXPECT_FALSE(HasInk(right, 2, 12, 40, 32)) << "moved off the left";
  EXPECT_TRUE(HasInk(right, 62, 12, 78, 32)) << "to the right edge, still big: null parts kept";
  EXPECT_EQ(right.Row(25)[70], kRed);
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"40", "right", "16711680"}));
}

TEST(TextFormat, BadValuesAndMissingFormatsLeaveTheFieldAsItIs) {
  // fmt = new TextFormat("Blocks", "huge"); fmt.align = "sideways"; out.setTextFormat(fmt);
  // out.setTextFormat(); out.setTextFormat(5); trace(out.getTextFormat().size)
  ActionAssembler a;
  a.Push({"fmt", "huge", "Blocks", 2, "TextFormat"}).Do(Op::NewObject).Do(Op::SetVariable);
  GetVar(a, "fmt").Push({"align", "sideways"}).Do(Op::SetMember);
  GetVar(a, "fmt").Push({1});
  GetVar(a, "out").Push({"setTextFormat"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({0});
  GetVar(a, "out").Push({"setTextFormat"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({5, 1});
  GetVar(a, "out").Push({"setTextFormat"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({0});
  GetVar(a, "out").Push({"getTextFormat"}).Do(Op::CallMethod).Push({"size"}).Do(Op::GetMember).Do(Op::Trace);
  MoviePlayback p = LoadMovie(FormatMovie({a}));
  p.Step();
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"20"}));
  EXPECT_TRUE(HasInk(Draw(p), 2, 7, 10, 17)) << "drawn as before, in the named font";
}

}  // namespace
}  // namespace velmora::test
