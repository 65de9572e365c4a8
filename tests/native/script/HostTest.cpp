// Target paths, tellTarget, clip properties and the actions the host carries
// out, on the fake host's tree _level0 { a { b }, c }.
#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

namespace velmora::avm1::test {
namespace {

TEST(ScriptPaths, EveryFormOfTargetPath) {
  ScriptFixture f(6);
  f.b->PutOwn(f.vm->GetHeap(), f.vm->Key(f.vm->Intern(u"v")), f.vm->Intern(u"v"), Value::Number(7));
  ActionAssembler code;
  for (const char* path : {"/a/b:v", "_root.a.b.v", "a.b.v", "../a/b:v", "_level0.a.b.v", "b:v", "/a/b"}) {
    code.Push({path}).Do(Op::GetVariable).Do(Op::Trace);
  }
  // Run in c, so "../a" goes up to the root; "b:v" is relative to c: missing.
  auto lines = f.Traces(code, f.c);
  EXPECT_EQ(lines, (std::vector<std::string>{"7", "7", "undefined", "7", "7", "undefined", "_level0.a.b"}));
  // Setting through a path.
  ActionAssembler set;
  set.Push({"/a:w", 3}).Do(Op::SetVariable).Push({"_root.a.b.w", 4}).Do(Op::SetVariable);
  f.Run(set);
  EXPECT_EQ(f.Text(f.Var("w", f.a)), "3");
  EXPECT_EQ(f.Text(f.Var("w", f.b)), "4");
}

TEST(ScriptPaths, TellTargetMovesFrameActionsAndVariables) {
  ScriptFixture f(6);
  ActionAssembler code;
  code.SetTarget("a/b").Do(Op::Stop).Push({"here", 1}).Do(Op::SetVariable).SetTarget("");
  code.Do(Op::Play);
  code.Push({"c"}).Do(Op::SetTarget2).GotoFrame(4).Push({"/"}).Do(Op::SetTarget2).Do(Op::NextFrame);
  code.SetTarget("nothing/there").Do(Op::Stop).SetTarget("");
  f.Run(code);
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"b:stop", "_level0:play", "c:goto4", "_level0:next", "_level0:stop"}));
  EXPECT_EQ(f.Text(f.Var("here", f.b)), "1");
}

TEST(ScriptPaths, GotoFramesAndLabelsWithPaths) {
  ScriptFixture f(6);
  ActionAssembler code;
  code.Push({3}).GotoFrame2(true).Push({"intro"}).GotoFrame2(false).Push({"/c:5"}).GotoFrame2(false);
  code.Push({"a/b:end"}).GotoFrame2(true).Push({2}).GotoFrame2(false, 10).GotoLabel("loop");
  f.Run(code);
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"_level0:goto2+play", "_level0:label intro", "c:goto4",
                                                  "b:label end+play", "_level0:goto11", "_level0:label loop"}));
}

TEST(ScriptPaths, ClipPropertiesByIndexAndByName) {
  ScriptFixture f(6);
  ActionAssembler code;
  code.Push({"a", 0, 120}).Do(Op::SetProperty);                           // a._x = 120
  code.Push({"a", 0}).Do(Op::GetProperty).Do(Op::Trace);
  code.Push({"a"}).Do(Op::GetVariable).Push({"_y", 33}).Do(Op::SetMember);  // a._y = 33
  code.Push({"a"}).Do(Op::GetVariable).Push({"_y"}).Do(Op::GetMember).Do(Op::Trace);
  code.Push({"a/b", 11}).Do(Op::GetProperty).Do(Op::Trace);               // _target
  code.Push({"a"}).Do(Op::GetVariable).Push({"b"}).Do(Op::GetMember).Push({"_name"}).Do(Op::GetMember).Do(Op::Trace);
  code.Push({"a"}).Do(Op::GetVariable).Push({"b"}).Do(Op::GetMember).Push({"_parent"}).Do(Op::GetMember).Do(Op::Trace);
  code.Push({"", 4}).Do(Op::GetProperty).Do(Op::Trace);                    // this clip's _currentframe
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"120", "33", "/a/b", "b", "_level0.a", "1"}));
  EXPECT_EQ(f.a->props[static_cast<int>(ClipProperty::X)].AsNumber(), 120);
}

TEST(ScriptPaths, VariablesShadowChildrenAndChildrenShadowProperties) {
  ScriptFixture f(7);
  FakeClip* namedX = f.AddClip(f.c, "_x");
  (void)namedX;
  ActionAssembler code;
  code.Push({"c"}).Do(Op::GetVariable).Push({"_x"}).Do(Op::GetMember).Do(Op::Trace);  // the child wins
  code.Push({"a"}).Do(Op::GetVariable).Push({"b", "variable"}).Do(Op::SetMember);
  code.Push({"a"}).Do(Op::GetVariable).Push({"b"}).Do(Op::GetMember).Do(Op::Trace);  // the variable wins
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"_level0.c._x", "variable"}));
}

TEST(ScriptPaths, RemovedClipReferencesRevive) {
  ScriptFixture f(7);
  ActionAssembler keep;
  keep.Push({"ref", "c"}).Do(Op::GetVariable).Do(Op::SetVariable);
  keep.Push({"c"}).Do(Op::RemoveSprite);
  keep.Push({"ref"}).Do(Op::GetVariable).Do(Op::Trace);
  keep.Push({"ref"}).Do(Op::GetVariable).Push({"_name"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(keep), (std::vector<std::string>{"", "undefined"}));
  // A new clip at the same path answers through the old reference.
  f.AddClip(f.host.root, "c");
  ActionAssembler again;
  again.Push({"ref"}).Do(Op::GetVariable).Do(Op::Trace);
  EXPECT_EQ(f.Traces(again), std::vector<std::string>{"_level0.c"});
}

TEST(ScriptHostActions, CloneRemoveDragUrlAndTime) {
  ScriptFixture f(6);
  f.host.timer = 1234.7;
  f.host.randomValue = 0.75;
  ActionAssembler code;
  code.Push({"a", "a2", 5}).Do(Op::CloneSprite);
  code.Push({1, 2, 3, 4, 1, 0, "a"}).Do(Op::StartDrag).Do(Op::EndDrag);
  code.Push({"b"}).Do(Op::GetVariable).Do(Op::Pop);
  code.GetUrl("http://example.invalid/", "_blank").Push({"FSCommand:quit", ""}).GetUrl2(0);
  code.Do(Op::GetTime).Do(Op::Trace).Push({10}).Do(Op::RandomNumber).Do(Op::Trace);
  code.Push({"missing"}).Do(Op::RemoveSprite).Push({"c"}).Do(Op::RemoveSprite);
  code.WaitForFrame(3, 1).Push({"loaded"}).Do(Op::Trace);
  auto lines = f.Traces(code);
  EXPECT_EQ(lines, (std::vector<std::string>{"1234", "7", "loaded"}));
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"clone a as a2 at 5", "drag a 1,4", "url http://example.invalid/ _blank",
                                                  "url FSCommand:quit ", "remove c"}));
}

TEST(ScriptHostActions, CallRunsAnotherFramesActions) {
  ScriptFixture f(6);
  ActionAssembler frame;
  frame.Push({"called in "}).Push({"this"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Trace);
  std::vector<uint8_t> bytes = frame.Bytes();
  f.host.frameScripts.emplace("_level0.a#2", f.vm->Load(bytes.data(), bytes.size()));
  ActionAssembler code;
  code.Push({"/a:3"}).Do(Op::Call).Push({"back"}).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"called in _level0.a", "back"}));
}

TEST(ScriptHostActions, HandlersCalledByTheHost) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"a"}).Do(Op::GetVariable).Push({"onEnterFrame"})
      .DefineFunction("", {"step"}).Push({"tick "}).Push({"this"}).Do(Op::GetVariable).Do(Op::Add2)
      .Push({" "}).Do(Op::Add2).Push({"step"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Trace).EndFunction()
      .Do(Op::SetMember);
  f.Run(code);
  Value step = Value::Number(2);
  RunResult r = f.vm->CallMethodByName(f.a, u"onEnterFrame", Args(&step, 1));
  EXPECT_TRUE(r.Ok());
  EXPECT_EQ(f.host.traces, std::vector<std::string>{"tick _level0.a 2"});
  EXPECT_TRUE(f.vm->CallMethodByName(f.b, u"onEnterFrame", Args()).Ok());  // none: nothing happens
}

}  // namespace
}  // namespace velmora::avm1::test
