// The stage a script lays out: Stage.scaleMode and Stage.align chosen by the
// movie hold over the host's mode, an unscaled stage is the size of its view,
// and a new view size reaches Stage's onResize listeners.
#include "ScriptedMovies.h"

#include "player/ScaleMode.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using swf::MoviePlayback;
using swf::ScaleMode;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// Stage.<name> = value
ActionAssembler& SetStage(ActionAssembler& a, const std::string& name, const std::string& value) {
  GetVar(a, "Stage").Push({name, value}).Do(Op::SetMember);
  return a;
}

// trace(Stage.width + "x" + Stage.height)
ActionAssembler& TraceStageSize(ActionAssembler& a) {
  GetVar(a, "Stage").Push({"width"}).Do(Op::GetMember).Push({"x"}).Do(Op::Add2);
  GetVar(a, "Stage").Push({"height"}).Do(Op::GetMember).Do(Op::Add2).Do(Op::Trace);
  return a;
}

// A red 20 x 20 pixel square at the stage's top left corner; one frame.
swf::MovieWriter SquareMovie(const ActionAssembler& script) {
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  t.Place(PlaceAt(1, 1));
  t.DoAction(script.Bytes());
  t.ShowFrame();
  return movie;
}

TEST(ScriptStage, AModeAndAlignmentTheMovieChoosesHoldAndReadBackInTheirOwnSpelling) {
  ActionAssembler a;
  SetStage(a, "scaleMode", "NOSCALE");
  SetStage(a, "align", "lt");
  GetVar(a, "Stage").Push({"scaleMode"}).Do(Op::GetMember).Do(Op::Trace);
  GetVar(a, "Stage").Push({"align"}).Do(Op::GetMember).Do(Op::Trace);
  TraceStageSize(a).Do(Op::Stop);
  MoviePlayback p = LoadMovie(SquareMovie(a));
  p.SetView(800, 600, ScaleMode::ShowAll);
  p.Step();
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"noScale", "TL", "800x600"}));
  swf::Canvas c;
  c.Resize(800, 600);
  p.Draw(c, ScaleMode::ShowAll, false);
  // Shown at 1:1 from the top left corner, whatever the host asked for.
  EXPECT_EQ(c.Row(10)[10], kRed);
  EXPECT_EQ(c.Row(25)[25], kWhite);
  EXPECT_EQ(c.Row(10)[130], kWhite) << "showAll would have scaled the square to 29 pixels and centred it";
}

TEST(ScriptStage, UnsetOrUnknownModesLeaveTheStageItsOwnSize) {
  ActionAssembler a;
  TraceStageSize(a);
  SetStage(a, "scaleMode", "stretchy");
  GetVar(a, "Stage").Push({"scaleMode"}).Do(Op::GetMember).Do(Op::Trace);
  TraceStageSize(a).Do(Op::Stop);
  MoviePlayback p = LoadMovie(SquareMovie(a));
  p.SetView(1100, 800, ScaleMode::ExactFit);
  p.Step();
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"550x400", "showAll", "550x400"}));
}

TEST(ScriptStage, ANewViewSizeReachesOnResizeListenersOnlyWhenUnscaled) {
  // l = {}; l.onResize = function () { trace(Stage.width + "x" + Stage.height); };
  // Stage.addListener(l);
  ActionAssembler a;
  a.Push({"l", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  GetVar(a, "l").Push({"onResize"}).DefineFunction("", {});
  TraceStageSize(a).EndFunction().Do(Op::SetMember);
  GetVar(a, "l").Push({1});
  GetVar(a, "Stage").Push({"addListener"}).Do(Op::CallMethod).Do(Op::Pop).Do(Op::Stop);
  MoviePlayback p = LoadMovie(SquareMovie(a));
  p.SetView(800, 600, ScaleMode::NoScale);
  p.Step();
  p.SetView(1024, 768, ScaleMode::NoScale);
  p.SetView(1024, 768, ScaleMode::NoScale);
  swf::Canvas c;
  c.Resize(640, 480);
  p.Draw(c, ScaleMode::NoScale, false);
  EXPECT_EQ(p.Scripts()->TraceLines(), (std::vector<std::string>{"1024x768", "640x480"}))
      << "one call per new size, from SetView and from a canvas drawn";
  c.Resize(300, 300);
  p.Draw(c, ScaleMode::ShowAll, false);
  EXPECT_EQ(p.Scripts()->TraceLines().size(), 2u) << "a scaled stage keeps its size: no resize";
}

TEST(ScaleModes, AlignmentPutsTheRoomAfterBeforeOrAroundTheStage) {
  const swf::Rect stage{0, 400 * 20, 0, 300 * 20};
  auto origin = [&](ScaleMode mode, const char16_t* align) {
    return ViewMatrix(stage, 800, 400, mode, swf::ParseStageAlign(align)).Apply({0, 0});
  };
  EXPECT_DOUBLE_EQ(origin(ScaleMode::NoScale, u"TL").x, 0);
  EXPECT_DOUBLE_EQ(origin(ScaleMode::NoScale, u"TL").y, 0);
  EXPECT_DOUBLE_EQ(origin(ScaleMode::NoScale, u"BR").x, 400);
  EXPECT_DOUBLE_EQ(origin(ScaleMode::NoScale, u"BR").y, 100);
  EXPECT_DOUBLE_EQ(origin(ScaleMode::NoScale, u"").x, 200);
  EXPECT_DOUBLE_EQ(origin(ScaleMode::NoScale, u"TB").y, 50) << "both edges: centred";
  EXPECT_DOUBLE_EQ(origin(ScaleMode::ShowAll, u"R").x, 800 - 400 * 4.0 / 3) << "the letterbox at the left";
  EXPECT_EQ(swf::StageAlignName(swf::ParseStageAlign(u"rB")), u"BR");
}

}  // namespace
}  // namespace velmora::test
