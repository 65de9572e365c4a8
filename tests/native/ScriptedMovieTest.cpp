// Movies whose scripts drive the display tree: clips made, moved and
// removed by scripts, handlers that wait for their events, the order of
// frame scripts and clip events, and the bounds that keep a movie going.
#include "ScriptedMovies.h"

#include <gtest/gtest.h>

#include <set>

namespace velmora::test {
namespace {

using swf::MoviePlayback;
namespace clipevent = swf::clipevent;

// A movie with a 20 x 20 pixel square as sprite 10 ("dot" placed at depth 1)
// and exported as "ball"; `frames` root frames, the given script on each.
swf::MovieWriter DotMovie(const std::vector<ActionAssembler>& frames, uint8_t version = 8,
                         std::vector<swf::ClipAction> dotEvents = {}) {
  swf::MovieWriter movie = ScriptStage(version);
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  swf::TagWriter dot;
  dot.Place(PlaceAt(1, 1));
  dot.ShowFrame();
  t.DefineSprite(10, dot);
  t.ExportAssets({{10, "ball"}});
  swf::PlaceObject place = PlaceNamed(1, 10, "dot");
  place.clipActions = std::move(dotEvents);
  t.Place(place);
  for (const ActionAssembler& script : frames) {
    if (script.Size() > 0) t.DoAction(script.Bytes());
    t.ShowFrame();
  }
  return movie;
}

TEST(ScriptedMovie, DuplicatesAtRandomPlacesMakeThatManyClips) {
  constexpr int kCopies = 25;
  // for (i = 0; i < 25; i++) { duplicateMovieClip("dot", "d" + i, 16384 + i);
  //   this["d" + i]._x = Math.random() * 500; this["d" + i]._y = random(380); }
  ActionAssembler a;
  a.Push({"i", 0}).Do(Op::SetVariable);
  auto top = a.NewLabel(), done = a.NewLabel();
  a.Bind(top);
  GetVar(a, "i").Push({kCopies}).Do(Op::Less2).Do(Op::Not).If(done);
  a.Push({"dot", "d"});
  GetVar(a, "i").Do(Op::Add2);
  GetVar(a, "i").Push({16384}).Do(Op::Add2).Do(Op::CloneSprite);
  a.Push({"d"});
  GetVar(a, "i").Do(Op::Add2).Push({0}).Push({0, "Math"}).Do(Op::GetVariable).Push({"random"}).Do(Op::CallMethod);
  a.Push({500}).Do(Op::Multiply).Do(Op::SetProperty);
  a.Push({"d"});
  GetVar(a, "i").Do(Op::Add2).Push({1, 380}).Do(Op::RandomNumber).Do(Op::SetProperty);
  a.Push({"i"});
  GetVar(a, "i").Do(Op::Increment).Do(Op::SetVariable).Jump(top).Bind(done).Do(Op::Stop);
  MoviePlayback p = LoadMovie(DotMovie({a}));
  p.Step();
  p.Step();
  std::set<std::pair<double, double>> places;
  for (int i = 0; i < kCopies; ++i) {
    avm1::Object* copy = ChildObject(p, "d" + std::to_string(i));
    ASSERT_NE(copy, nullptr) << i;
    EXPECT_EQ(TextOf(p, copy, "_target"), "/d" + std::to_string(i));
    places.insert({NumberOf(p, copy, "_x"), NumberOf(p, copy, "_y")});
  }
  EXPECT_EQ(places.size(), static_cast<size_t>(kCopies)) << "every copy has its own place";
  EXPECT_EQ(p.Root()->DisplayList().size(), kCopies + 1u);
  EXPECT_EQ(p.Scripts()->StoppedRuns(), 0u);
}

TEST(ScriptedMovie, AHandlersBodyRunsOnlyWhenItsEventHappens) {
  // Frame 1: function jump() { gotoAndStop(3); } dot.onPress = function() {
  // gotoAndStop(3); }; stop(); a reader of frame actions that took the
  // bodies for frame actions would be on frame 3 at once.
  ActionAssembler a;
  a.DefineFunction("jump", {}).GotoFrame(2).EndFunction();
  GetVar(a, "dot").Push({"onPress"}).DefineFunction("", {}).Push({3}).GotoFrame2(false).EndFunction();
  a.Do(Op::SetMember).Do(Op::Stop);
  ActionAssembler none;
  MoviePlayback p = LoadMovie(DotMovie({a, none, none}));
  for (int i = 0; i < 5; ++i) p.Step();
  EXPECT_EQ(p.Root()->CurrentFrame(), 0u);
  // The press comes: its handler runs, and the movie goes to frame 3.
  avm1::Vm& vm = p.Scripts()->GetVm();
  EXPECT_TRUE(vm.CallMethodByName(ChildObject(p, "dot"), u"onPress", avm1::Args()).Ok());
  EXPECT_EQ(p.Root()->CurrentFrame(), 2u);
}

TEST(ScriptedMovie, APreloaderWaitingInOnEnterFrameGetsThrough) {
  // Frame 1: stop(); onEnterFrame = function () { if (_framesloaded >= _totalframes &&
  //   getBytesLoaded() >= getBytesTotal()) { delete onEnterFrame; gotoAndPlay(3); } };
  ActionAssembler wait;
  wait.Do(Op::Stop).Push({"onEnterFrame"}).DefineFunction("", {});
  auto notYet = wait.NewLabel();
  wait.Push({"", 12}).Do(Op::GetProperty).Push({"", 5}).Do(Op::GetProperty).Do(Op::Less2).If(notYet);
  wait.Push({0, "getBytesLoaded"}).Do(Op::CallFunction).Push({0, "getBytesTotal"}).Do(Op::CallFunction);
  wait.Do(Op::Less2).If(notYet);
  wait.Push({"onEnterFrame"}).Do(Op::Delete2).Do(Op::Pop).Push({3}).GotoFrame2(true).Bind(notYet);
  wait.EndFunction().Do(Op::SetVariable);
  ActionAssembler title;
  TraceText(title, "title page").Do(Op::Stop);
  ActionAssembler content;
  TraceText(content, "content").Do(Op::Stop);
  MoviePlayback p = LoadMovie(DotMovie({wait, title, content}));
  for (int i = 0; i < 4; ++i) p.Step();
  EXPECT_EQ(p.Root()->CurrentFrame(), 2u);
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"content"}));
}

TEST(ScriptedMovie, ARunawayLoopStopsForItsFrameAndTheMovieGoesOn) {
  ActionAssembler forever;
  auto top = forever.NewLabel();
  forever.Bind(top).Jump(top);
  TraceText(forever, "after the loop");
  ActionAssembler second;
  TraceText(second, "frame 2");
  second.Do(Op::Stop);
  MoviePlayback p = LoadMovie(DotMovie({forever, second}));
  p.Step();
  EXPECT_EQ(p.Scripts()->StoppedRuns(), 1u);
  const avm1::StopReason why = p.Scripts()->LastStop();
  EXPECT_TRUE(why == avm1::StopReason::ActionLimit || why == avm1::StopReason::TimeLimit) << int(why);
  p.Step();
  EXPECT_EQ(p.Root()->CurrentFrame(), 1u);
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"frame 2"}));
}

TEST(ScriptedMovie, ScriptsThatKeepJumpingStopForTheTick) {
  // Frame 2: n++; gotoAndPlay(3). Frame 3: gotoAndPlay(2).
  ActionAssembler first, second, third;
  first.Push({"n", 0}).Do(Op::SetVariable);
  second.Push({"n"});
  GetVar(second, "n").Do(Op::Increment).Do(Op::SetVariable).Push({3}).GotoFrame2(true);
  third.Push({2}).GotoFrame2(true);
  MoviePlayback p = LoadMovie(DotMovie({first, second, third}));
  p.Step();
  p.Step();
  const double afterOneTick = NumberOf(p, p.Scripts()->Root()->Object(), "n");
  EXPECT_GE(afterOneTick, 2);
  EXPECT_LE(afterOneTick, swf::kMaxGotoFramesPerTick / 2 + 2);
  EXPECT_TRUE(p.Root()->Playing()) << "the movie goes on from where the jumps stopped";
  EXPECT_EQ(p.Scripts()->StoppedRuns(), 0u);
}

TEST(ScriptedMovie, FrameScriptsAndClipEventsRunInOrder) {
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  swf::TagWriter child;
  child.Place(PlaceAt(1, 1));
  ActionAssembler childFrame;
  TraceText(childFrame, "child frame 1");
  child.DoAction(childFrame.Bytes());
  child.ShowFrame();
  t.DefineSprite(10, child);
  swf::PlaceObject place = PlaceNamed(1, 10, "c");
  const std::pair<uint32_t, const char*> events[] = {
      {clipevent::kLoad, "onClipEvent(load)"},
      {clipevent::kEnterFrame, "onClipEvent(enterFrame)"},
      {clipevent::kUnload, "onClipEvent(unload)"}};
  for (const auto& [event, text] : events) {
    ActionAssembler handler;
    TraceText(handler, text);
    place.clipActions.push_back(OnClipEvent(event, handler));
  }
  t.Place(place);
  // Frame 1 also gives the clip an onEnterFrame method and _root an onLoad.
  ActionAssembler first;
  TraceText(first, "root frame 1");
  GetVar(first, "c").Push({"onEnterFrame"}).DefineFunction("", {});
  TraceText(first, "c.onEnterFrame");
  first.EndFunction().Do(Op::SetMember);
  t.DoAction(first.Bytes());
  t.ShowFrame();
  ActionAssembler second;
  TraceText(second, "root frame 2");
  t.DoAction(second.Bytes());
  t.ShowFrame();
  t.Remove(1);
  ActionAssembler third;
  TraceText(third, "root frame 3");
  third.Do(Op::Stop);
  t.DoAction(third.Bytes());
  t.ShowFrame();
  MoviePlayback p = LoadMovie(movie);
  for (int i = 0; i < 4; ++i) p.Step();
  EXPECT_EQ(p.Scripts()->TraceLines(),
            (std::vector<std::string>{"root frame 1", "child frame 1", "onClipEvent(load)",
                                      "onClipEvent(enterFrame)", "c.onEnterFrame", "root frame 2",
                                      "onClipEvent(enterFrame)", "c.onEnterFrame", "onClipEvent(unload)",
                                      "root frame 3"}));
}

TEST(ScriptedMovie, IntervalsAndKeyAndMouseListenersRunOnTheirEvents) {
  ActionAssembler a;
  // setInterval(function () { trace("interval"); }, 200);
  a.Push({200}).DefineFunction("", {});
  TraceText(a, "interval");
  a.EndFunction().Push({2, "setInterval"}).Do(Op::CallFunction).Do(Op::Pop);
  // keys = {}; keys.onKeyDown = function () { trace("key " + Key.getCode()); }; Key.addListener(keys);
  a.Push({"keys", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  GetVar(a, "keys").Push({"onKeyDown"}).DefineFunction("", {}).Push({"key ", 0, "Key"}).Do(Op::GetVariable);
  a.Push({"getCode"}).Do(Op::CallMethod).Do(Op::Add2).Do(Op::Trace).EndFunction().Do(Op::SetMember);
  GetVar(a, "keys").Push({1, "Key"}).Do(Op::GetVariable).Push({"addListener"}).Do(Op::CallMethod).Do(Op::Pop);
  // pointer = {}; pointer.onMouseDown = function () { trace("mouse down " + _root._xmouse); }; Mouse.addListener(pointer);
  a.Push({"pointer", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  GetVar(a, "pointer").Push({"onMouseDown"}).DefineFunction("", {}).Push({"mouse down ", "_root"}).Do(Op::GetVariable);
  a.Push({"_xmouse"}).Do(Op::GetMember).Do(Op::Add2).Do(Op::Trace).EndFunction().Do(Op::SetMember);
  GetVar(a, "pointer").Push({1, "Mouse"}).Do(Op::GetVariable).Push({"addListener"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Do(Op::Stop);
  ActionAssembler pressed;
  pressed.Push({"dot mouseDown at "}).Push({"", 20}).Do(Op::GetProperty).Do(Op::Add2).Do(Op::Trace);  // _xmouse
  MoviePlayback p = LoadMovie(DotMovie({a}, 8, {OnClipEvent(clipevent::kMouseDown, pressed)}));
  p.Step();
  // Twelve frames a second: 1 s of frames after the first has the interval due 5 times.
  for (int i = 0; i < 12; ++i) p.Step();
  swf::MovieScripts& s = *p.Scripts();
  EXPECT_EQ(s.TraceLines(), std::vector<std::string>(5, "interval"));
  s.PointerMoved(2000, 1000);  // 100 pixels across the stage
  s.PointerButton(true);
  s.KeyChanged(65, 97, true);
  s.PointerButton(false);
  const std::vector<std::string> events(s.TraceLines().begin() + 5, s.TraceLines().end());
  EXPECT_EQ(events, (std::vector<std::string>{"dot mouseDown at 100", "mouse down 100", "key 65"}));
}

TEST(ScriptedMovie, ColorObjectsTintTheirClip) {
  // c = new Color(dot); c.setRGB(0x00FF00); trace(c.getRGB());
  ActionAssembler a;
  a.Push({"c"});
  GetVar(a, "dot").Push({1, "Color"}).Do(Op::NewObject).Do(Op::SetVariable);
  a.Push({0x00FF00, 1});
  GetVar(a, "c").Push({"setRGB"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({0});
  GetVar(a, "c").Push({"getRGB"}).Do(Op::CallMethod).Do(Op::Trace);
  // new Color("dot").setTransform({ra: 50, ab: -10}); trace(c.getTransform().ra);
  a.Push({"ra", 50, "ab", -10, 2}).Do(Op::InitObject).Push({1, "dot", 1, "Color"}).Do(Op::NewObject);
  a.Push({"setTransform"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({0});
  GetVar(a, "c").Push({"getTransform"}).Do(Op::CallMethod).Push({"ra"}).Do(Op::GetMember).Do(Op::Trace);
  a.Do(Op::Stop);
  MoviePlayback p = LoadMovie(DotMovie({a}));
  p.Step();
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"65280", "50"}));
  const swf::ColorTransform& t = p.Root()->DisplayList().begin()->second.colorTransform;
  EXPECT_EQ(t.rMult, 128);
  EXPECT_EQ(t.gMult, 0);
  EXPECT_EQ(t.gAdd, 255);
  EXPECT_EQ(t.aAdd, -10);
  const uint32_t px = DrawStage(p).Row(10)[10];
  EXPECT_EQ((px >> 8) & 0xFF, 0xFFu) << "green full";
  EXPECT_NEAR(static_cast<double>((px >> 16) & 0xFF), 132, 3) << "red halved, then 10 levels of white through alpha";
}

TEST(ScriptedMovie, AttachRemoveSwapAndDepths) {
  // r1 = attachMovie("ball", "b1", 5); r2 = attachMovie("ball", "b2", 7, {_x: 40});
  ActionAssembler a;
  a.Push({"r1", 5, "b1", "ball", 3, "_root"}).Do(Op::GetVariable).Push({"attachMovie"}).Do(Op::CallMethod);
  a.Do(Op::SetVariable);
  a.Push({"r2", "_x", 40, 1}).Do(Op::InitObject).Push({7, "b2", "ball", 4, "_root"}).Do(Op::GetVariable);
  a.Push({"attachMovie"}).Do(Op::CallMethod).Do(Op::SetVariable);
  // trace(r1.getDepth()); trace(r2._x); trace(getNextHighestDepth());
  a.Push({0}).Push({"r1"}).Do(Op::GetVariable).Push({"getDepth"}).Do(Op::CallMethod).Do(Op::Trace);
  GetVar(a, "r2").Push({"_x"}).Do(Op::GetMember).Do(Op::Trace);
  a.Push({0, "_root"}).Do(Op::GetVariable).Push({"getNextHighestDepth"}).Do(Op::CallMethod).Do(Op::Trace);
  // r1.swapDepths(r2); trace(r1.getDepth()); dot.removeMovieClip() (a timeline clip: stays)
  GetVar(a, "r2").Push({1}).Push({"r1"}).Do(Op::GetVariable).Push({"swapDepths"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({0, "r1"}).Do(Op::GetVariable).Push({"getDepth"}).Do(Op::CallMethod).Do(Op::Trace);
  a.Push({0, "dot"}).Do(Op::GetVariable).Push({"removeMovieClip"}).Do(Op::CallMethod).Do(Op::Pop);
  // r1.removeMovieClip(); trace(typeof _root.b1); trace(dot._name)
  a.Push({0, "r1"}).Do(Op::GetVariable).Push({"removeMovieClip"}).Do(Op::CallMethod).Do(Op::Pop);
  a.Push({"_root"}).Do(Op::GetVariable).Push({"b1"}).Do(Op::GetMember).Do(Op::TypeOf).Do(Op::Trace);
  GetVar(a, "dot").Push({"_name"}).Do(Op::GetMember).Do(Op::Trace);
  // attachMovie of a name nobody exports makes nothing.
  a.Push({"none", 9, "none", "nothing", 3, "_root"}).Do(Op::GetVariable).Push({"attachMovie"}).Do(Op::CallMethod);
  a.Do(Op::SetVariable).Do(Op::Stop);
  MoviePlayback p = LoadMovie(DotMovie({a}));
  p.Step();
  EXPECT_EQ(p.Scripts()->TraceLines(),
            (std::vector<std::string>{"5", "40", "8", "7", "undefined", "dot"}));
  const auto& list = p.Root()->DisplayList();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.begin()->second.name, "dot");
  EXPECT_EQ(list.rbegin()->first, swf::kScriptDepthOffset + 5) << "b2 took b1's depth";
  EXPECT_EQ(list.rbegin()->second.name, "b2");
}

TEST(ScriptedMovie, AClipMovedByAScriptIsNoLongerMovedByItsTimeline) {
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  swf::TagWriter dot;
  dot.Place(PlaceAt(1, 1));
  dot.ShowFrame();
  t.DefineSprite(10, dot);
  t.Place(PlaceNamed(1, 10, "moved"));
  t.Place(PlaceNamed(2, 10, "left"));
  t.ShowFrame();
  // Frame 2: the timeline moves both to x = 50; the script sets moved._x = 300.
  t.Place(MoveTo(1, 1000, 0));
  t.Place(MoveTo(2, 1000, 0));
  ActionAssembler set;
  set.Push({"moved", 0, 300}).Do(Op::SetProperty);
  t.DoAction(set.Bytes());
  t.ShowFrame();
  t.Place(MoveTo(1, 2000, 0));
  t.Place(MoveTo(2, 2000, 0));
  t.ShowFrame();
  MoviePlayback p = LoadMovie(movie);
  p.Step();
  p.Step();
  p.Step();
  EXPECT_EQ(NumberOf(p, ChildObject(p, "moved"), "_x"), 300);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "left"), "_x"), 100);
  p.Step();  // the loop back to frame 1 keeps the script's place too
  EXPECT_EQ(NumberOf(p, ChildObject(p, "moved"), "_x"), 300);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "left"), "_x"), 0);
}

TEST(ScriptedMovie, RegisterClassInInitClipGivesAttachedClipsTheirClass) {
  // #initclip: function Ball() { this.made = 1; } Ball.prototype.kind = "ball";
  // Object.registerClass("ball", Ball);
  ActionAssembler init;
  init.DefineFunction("Ball", {}).Push({"this"}).Do(Op::GetVariable).Push({"made", 1}).Do(Op::SetMember).EndFunction();
  GetVar(init, "Ball").Push({"prototype"}).Do(Op::GetMember).Push({"kind", "ball"}).Do(Op::SetMember);
  init.Push({"Ball"}).Do(Op::GetVariable).Push({"ball", 2, "Object"}).Do(Op::GetVariable);
  init.Push({"registerClass"}).Do(Op::CallMethod).Do(Op::Pop);
  ActionAssembler first;
  first.Push({"b", 3, "b", "ball", 3, "_root"}).Do(Op::GetVariable).Push({"attachMovie"}).Do(Op::CallMethod);
  first.Do(Op::SetVariable).Do(Op::Stop);
  swf::MovieWriter movie = DotMovie({});
  swf::TagWriter& t = movie.Timeline();
  t.DoInitAction(10, init.Bytes());
  t.DoAction(first.Bytes());
  t.ShowFrame();
  MoviePlayback p = LoadMovie(movie);
  p.Step();
  p.Step();
  avm1::Object* b = ChildObject(p, "b");
  EXPECT_EQ(NumberOf(p, b, "made"), 1);
  EXPECT_EQ(TextOf(p, b, "kind"), "ball");
  EXPECT_EQ(TextOf(p, ChildObject(p, "dot"), "kind"), "ball") << "the timeline's instance has the class too";
}

TEST(ScriptedMovie, RequestsOutsideTheMovieDoNothingAndTheMovieGoesOn) {
  ActionAssembler a;
  a.GetUrl("http://example.com/", "_blank").GetUrl("FSCommand:quit", "");
  a.Push({"data.txt", "", 0}).Do(Op::Pop).GetUrl2(0x40);  // loadVariables("data.txt", "")
  TraceText(a, "still here");
  ActionAssembler stop;
  stop.Do(Op::Stop);
  MoviePlayback p = LoadMovie(DotMovie({a, stop}));
  p.Step();
  p.Step();
  EXPECT_EQ(p.Scripts()->IgnoredRequests(), 3u);
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"still here"}));
  EXPECT_EQ(p.Root()->CurrentFrame(), 1u);
}

TEST(ScriptedMovie, ClipsMadeWithoutEndStopAtTheBound) {
  // Every tick: for (j = 0; j < 8000; j++) duplicateMovieClip("dot", "x" + n, 16384 + n++);
  ActionAssembler a;
  a.Push({"j", 0}).Do(Op::SetVariable);
  auto top = a.NewLabel(), done = a.NewLabel();
  a.Bind(top);
  GetVar(a, "j").Push({8000}).Do(Op::Less2).Do(Op::Not).If(done);
  a.Push({"dot", "x"});
  GetVar(a, "n").Do(Op::Add2);
  GetVar(a, "n").Push({16384}).Do(Op::Add2).Do(Op::CloneSprite);
  a.Push({"n"});
  GetVar(a, "n").Do(Op::Increment).Do(Op::SetVariable);
  a.Push({"j"});
  GetVar(a, "j").Do(Op::Increment).Do(Op::SetVariable).Jump(top).Bind(done);
  ActionAssembler setup;
  setup.Push({"n", 0}).Do(Op::SetVariable);
  ActionAssembler again;
  again.Push({2}).GotoFrame2(true);
  swf::MovieWriter movie = DotMovie({setup, a, again});
  // Only the clip bound may stop the loops: on a busy machine 8000 copies
  // under the sanitizers can take longer than the frame's time bound.
  MoviePlayback p;
  avm1::Limits limits;
  limits.msPerFrame = 1e9;
  p.SetScriptLimits(limits);
  const swf::Bytes bytes = movie.Finish(swf::Compression::kZlib);
  ASSERT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  for (int i = 0; i < 10; ++i) p.Step();  // 72000 asked for
  EXPECT_EQ(p.Scripts()->StoppedRuns(), 0u);
  EXPECT_EQ(p.Scripts()->LiveClips(), swf::kMaxScriptClips);
  EXPECT_EQ(p.Root()->DisplayList().size(), swf::kMaxScriptClips - 1) << "the root is one of them";
}

}  // namespace
}  // namespace velmora::test
