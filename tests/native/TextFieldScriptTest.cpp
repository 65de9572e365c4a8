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
// Frame `removeAt` (1-based, if any) takes the field off.
swf::MovieWriter ScriptedFieldMovie(const swf::EditText& field, const std::vector<ActionAssembler>& scripts,
                                    uint8_t version = 8, size_t removeAt = 0) {
  swf::MovieWriter movie({0, 2000, 0, 2000}, 12, version);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineFont(kBlockFontId, BlockFont());
  t.DefineEditText(kFieldId, field);
  t.Place(PlaceNamed(1, kFieldId, "out"));
  for (size_t i = 0; i < scripts.size(); ++i) {
    ActionAssembler a = scripts[i];
    if (i + 1 == scripts.size()) a.Do(Op::Stop);
    if (i + 1 == removeAt) t.Remove(1);
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

ActionAssembler SetOut(const std::string& member, const std::string& value) {
  ActionAssembler a;
  GetVar(a, "out").Push({member, value}).Do(Op::SetMember);
  return a;
}

TEST(TextFieldObject, TextSetByAScriptIsDrawnAndReadBack) {
  swf::EditText f = BoundField("A", "");
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(f, {ActionAssembler(), SetOut("text", "AWA")}));
  p.Step();
  avm1::Object* out = ChildObject(p, "out");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(TextOf(p, out, "text"), "A");
  swf::Canvas before = DrawSmall(p);
  p.Step();
  EXPECT_EQ(TextOf(p, out, "text"), "AWA");
  EXPECT_EQ(NumberOf(p, out, "length"), 3);
  swf::Canvas after = DrawSmall(p);
  EXPECT_FALSE(HasInk(before, 12, 0, 100, 100));
  EXPECT_TRUE(HasInk(after, 12, 7, 30, 17)) << "the W appeared";
  EXPECT_TRUE(HasInk(after, 32, 7, 40, 17)) << "and the last A";
}

TEST(TextFieldObject, PropertiesReadAndChangeTheFieldAndItsPlacement) {
  swf::EditText f = BoundField("<b>A</b>&amp;", "");
  f.html = true;
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(f, {ActionAssembler()}));
  p.Step();
  avm1::Object* out = ChildObject(p, "out");
  ASSERT_NE(out, nullptr);
  avm1::Vm& vm = p.Scripts()->GetVm();
  EXPECT_EQ(TextOf(p, out, "text"), "A&");
  EXPECT_EQ(TextOf(p, out, "htmlText"), "<b>A</b>&amp;");
  EXPECT_EQ(TextOf(p, out, "html"), "true");
  EXPECT_EQ(TextOf(p, out, "autoSize"), "none");
  EXPECT_EQ(TextOf(p, out, "variable"), "null");
  EXPECT_EQ(NumberOf(p, out, "_width"), 80);
  EXPECT_EQ(TextOf(p, out, "_name"), "out");
  EXPECT_EQ(TextOf(p, out, "_target"), "/out");
  vm.SetNamed(out, u"text", avm1::Value::String(vm.NewString(u"A<W")));
  EXPECT_EQ(TextOf(p, out, "text"), "A<W") << "plain text into an HTML field stays plain";
  EXPECT_EQ(TextOf(p, out, "htmlText"), "A&lt;W");
  vm.SetNamed(out, u"textColor", avm1::Value::Number(0xFF0000));
  EXPECT_EQ(NumberOf(p, out, "textColor"), 0xFF0000);
  vm.SetNamed(out, u"autoSize", avm1::Value::String(vm.NewString(u"center")));
  EXPECT_EQ(TextOf(p, out, "autoSize"), "center");
  vm.SetNamed(out, u"autoSize", avm1::Value::Bool(false));
  EXPECT_EQ(TextOf(p, out, "autoSize"), "none");
  vm.SetNamed(out, u"_x", avm1::Value::Number(10));
  vm.SetNamed(out, u"background", avm1::Value::Bool(true));
  vm.SetNamed(out, u"backgroundColor", avm1::Value::Number(0x00FF00));
  EXPECT_EQ(NumberOf(p, out, "_x"), 10);
  const swf::FieldState* state = FieldOf(p);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->looks.color, (swf::Rgba{255, 0, 0, 255}));
  swf::Canvas c = DrawSmall(p);
  EXPECT_EQ(c.Row(5)[5], kStageBlue) << "the box moved right";
  EXPECT_EQ(c.Row(5)[60], 0xFF00FF00u);
  EXPECT_EQ(c.Row(12)[14], 0xFFFF0000u) << "the first glyph in the new colour";
}

TEST(TextFieldObject, SettingTextSetsTheBoundVariable) {
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("A", "shown"), {ActionAssembler(), SetOut("text", "WW")}));
  p.Step();
  p.Step();
  EXPECT_EQ(TextOf(p, p.Scripts()->Root()->Object(), "shown"), "WW");
  EXPECT_EQ(Shown(p), "WW") << "the variable does not take the old text back";
}

TEST(TextFieldObject, DigitalClockShowsTheInjectedTime) {
  // onEnterFrame = function() { d = new Date(); time = d.getHours() + ":" + ... }
  ActionAssembler a;
  a.Push({"onEnterFrame"}).DefineFunction("", {});
  a.Push({"time"});
  a.Push({"d", 0, "Date"}).Do(Op::NewObject).Do(Op::SetVariable);
  const char* parts[3] = {"getHours", "getMinutes", "getSeconds"};
  for (int i = 0; i < 3; ++i) {
    if (i > 0) a.Push({":"}).Do(Op::Add2);
    a.Push({0});
    GetVar(a, "d").Push({parts[i]}).Do(Op::CallMethod);
    if (i > 0) a.Do(Op::Add2);
  }
  a.Do(Op::SetVariable).EndFunction().Do(Op::SetVariable);
  double start = 0;
  ASSERT_TRUE(swf::ParseLocalTime("2026-12-08T12:15:30", start));
  swf::FixedStartClock clock(start);
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("", "time"), {a}));
  p.SetClock(&clock);
  p.Step();
  p.Step();
  EXPECT_EQ(TextOf(p, ChildObject(p, "out"), "text"), "12:15:30");
  for (int i = 0; i < 12; ++i) p.Step();
  EXPECT_EQ(TextOf(p, ChildObject(p, "out"), "text"), "12:15:31");
}

TEST(TextFieldObject, AnswersNothingOnceTheFieldIsRemoved) {
  ActionAssembler keep, after;
  keep.Push({"kept"});
  GetVar(keep, "out").Do(Op::SetVariable);
  // kept.text = "A"; read = kept.text
  GetVar(after, "kept").Push({"text", "A"}).Do(Op::SetMember);
  after.Push({"read"});
  GetVar(after, "kept").Push({"text"}).Do(Op::GetMember).Do(Op::SetVariable);
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("W", ""), {keep, ActionAssembler(), after}, 8, 2));
  p.Step();
  avm1::Object* root = p.Scripts()->Root()->Object();
  avm1::Object* kept = ChildObject(p, "kept");
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(TextOf(p, kept, "text"), "W");
  p.Step();
  EXPECT_EQ(FieldOf(p), nullptr);
  EXPECT_EQ(TextOf(p, kept, "text"), "undefined");
  p.Step();
  EXPECT_EQ(TextOf(p, root, "read"), "undefined");
  p.Scripts()->GetVm().Collect();
  EXPECT_EQ(TextOf(p, kept, "_x"), "undefined");
}

TEST(TextFieldObject, CreateTextFieldMakesAFieldAtAScriptDepth) {
  // made = createTextField("made", 5, 10, 20, 60, 30); made.text = "AW"
  ActionAssembler a;
  a.Push({"made", 30, 60, 20, 10, 5, "made", 6});
  GetVar(a, "this").Push({"createTextField"}).Do(Op::CallMethod).Do(Op::SetVariable);
  GetVar(a, "made").Push({"text", "AW"}).Do(Op::SetMember);
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("", ""), {a}));
  p.Step();
  const swf::FieldState* made = FieldOf(p, nullptr, swf::kScriptDepthOffset + 5);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->text, u"AW");
  const swf::DisplayObject& o = p.Root()->DisplayList().at(swf::kScriptDepthOffset + 5);
  EXPECT_EQ(o.name, "made");
  EXPECT_EQ(o.matrix.tx, 200);
  EXPECT_EQ(o.matrix.ty, 400);
  EXPECT_EQ(o.character->editText->bounds.Width(), 1200);
  EXPECT_EQ(o.character->editText->height, 240) << "12 points";
  avm1::Object* object = ChildObject(p, "made");
  EXPECT_EQ(TextOf(p, object, "text"), "AW");
  EXPECT_EQ(NumberOf(p, object, "_height"), 30);
  EXPECT_EQ(NumberOf(p, object, "textColor"), 0);
}

TEST(TextFieldObject, CreateTextFieldKeepsABoundedNumberOfFieldKinds) {
  // for (i = 0; i < n; i++) createTextField("f", 1, 0, 0, i + 1, 10)
  MoviePlayback p = LoadMovie(ScriptedFieldMovie(BoundField("", ""), {ActionAssembler()}));
  p.Step();
  avm1::Vm& vm = p.Scripts()->GetVm();
  avm1::Object* root = p.Scripts()->Root()->Object();
  avm1::Value make = vm.GetNamed(root, u"createTextField");
  size_t made = 0;
  for (size_t i = 0; i < swf::kMaxScriptFieldSizes + 10; ++i) {
    avm1::Value args[6] = {avm1::Value::String(vm.NewString(u"f")), avm1::Value::Number(1), avm1::Value::Number(0),
                           avm1::Value::Number(0), avm1::Value::Number(static_cast<double>(i + 1)),
                           avm1::Value::Number(10)};
    if (vm.CallValue(make, avm1::Value::Obj(root), avm1::Args(args, 6)).value.IsObject()) ++made;
  }
  EXPECT_EQ(made, swf::kMaxScriptFieldSizes);
  // A size made before is made again.
  avm1::Value again[6] = {avm1::Value::String(vm.NewString(u"g")), avm1::Value::Number(2), avm1::Value::Number(0),
                          avm1::Value::Number(0), avm1::Value::Number(1), avm1::Value::Number(10)};
  EXPECT_TRUE(vm.CallValue(make, avm1::Value::Obj(root), avm1::Args(again, 6)).value.IsObject());
}

}  // namespace
}  // namespace velmora::test
