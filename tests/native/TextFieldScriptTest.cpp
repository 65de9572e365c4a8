// Text fields driven by scripts: a field bound to a variable shows the
// variable's value after each tick's scripts and gives an undefined
// variable its own text when placed; a digital clock built so shows the
// injected time.
#include "ScriptedMovies.h"
#include "TextFixtures.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using swf::MoviePlayback;

// A 100 x 100 movie with the block font; frame 1 places `field` at depth 1
// as "out" and runs `scripts[0]`, frame i+1 runs scripts[i], the last stops.
swf::MovieWriter ScriptedFieldMovie(const swf::EditText& field, const std::vector<ActionAssembler>& scripts,
                                    uint8_t version = 8) {
  swf::MovieWriter movie({0, 2000, 0, 2000}, 12, version);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineFont(kBlockFontId, BlockFont());
  t.DefineEditText(kFieldId, field);
  t.Place(PlaceNamed(1, kFieldId, "out"));
  for (size_t i = 0; i < scripts.size(); ++i) {
    ActionAssembler a = scripts[i];
    if (i + 1 == scripts.size()) a.Do(Op::Stop);
    t.DoAction(a.Bytes());
    t.ShowFrame();
  }
  return movie;
}

swf::EditText BoundField(const std::string& text, const std::string& variable) {
  swf::EditText f = BlockField(text, 80, 40);
  f.wordWrap = f.multiline = false;
  f.variableName = variable;
  return f;
}

const swf::FieldState* FieldOf(MoviePlayback& p, swf::Clip* clip = nullptr, int32_t depth = 1) {
  if (!clip) clip = p.Root();
  auto it = clip->DisplayList().find(depth);
  return it == clip->DisplayList().end() ? nullptr : it->second.field.get();
}

std::string Shown(MoviePlayback& p) {
  const swf::FieldState* f = FieldOf(p);
  return f ? avm1::ToUtf8(f->text) : "(no field)";
}

swf::Canvas DrawSmall(MoviePlayback& p) {
  swf::Canvas c;
  c.Resize(100, 100);
  p.Draw(c, swf::ScaleMode::ExactFit, false);
  return c;
}

ActionAssembler SetText(const std::string& variable, const std::string& value) {
  ActionAssembler a;
  a.Push({variable, value}).Do(Op::SetVariable);
  return a;
}

TEST(BoundTextField, GivesItsTextToAnUndefinedVariableThenShowsTheVariable) {
  ActionAssembler first;
  first.Push({"seen"});
  GetVar(first, "time");
  first.Do(Op::SetVariable);  // what a frame script of the placing frame sees
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("A", "time"), {first, ActionAssembler(), SetText("time", "AA")}));
  p.Step();
  avm1::Object* root = p.Scripts()->Root()->Object();
  EXPECT_EQ(TextOf(p, root, "time"), "A");
  EXPECT_EQ(TextOf(p, root, "seen"), "A");
  EXPECT_EQ(Shown(p), "A");
  swf::Canvas before = DrawSmall(p);
  EXPECT_FALSE(HasInk(before, 12, 0, 100, 100));
  p.Step();
  EXPECT_EQ(Shown(p), "A");
  p.Step();
  EXPECT_EQ(Shown(p), "AA");
  EXPECT_TRUE(HasInk(DrawSmall(p), 12, 7, 20, 17)) << "the second glyph is drawn";
}

TEST(BoundTextField, KeepsItsTextWhileTheVariableIsUndefinedAndShowsNumbersAsText) {
  ActionAssembler drop, number;
  drop.Push({"v"}).Do(Op::Delete2).Do(Op::Pop);
  number.Push({"v", 12.5}).Do(Op::SetVariable);
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("W", "v"), {ActionAssembler(), drop, number}));
  p.Step();
  p.Step();
  EXPECT_EQ(TextOf(p, p.Scripts()->Root()->Object(), "v"), "undefined");
  EXPECT_EQ(Shown(p), "W");
  p.Step();
  EXPECT_EQ(Shown(p), "12.5");
}

TEST(BoundTextField, NamesItsVariableByPathFromItsTimeline) {
  for (const char* path : {"_root.holder.v", "/holder:v", "holder.v"}) {
    SCOPED_TRACE(path);
    ActionAssembler make, set;
    make.Push({"holder", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
    GetVar(set, "holder").Push({"v", "AWA"}).Do(Op::SetMember);
    MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("", path), {make, set}));
    p.Step();
    p.Step();
    EXPECT_EQ(Shown(p), "AWA");
  }
}

}  // namespace
}  // namespace velmora::test
