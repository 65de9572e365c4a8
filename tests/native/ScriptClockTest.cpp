// Clocks, as desktop movies draw them: hands turned by `_rotation` from
// `Date`, in onEnterFrame or in onClipEvent(enterFrame), under an injected
// local time that then runs with the frames.
#include "ScriptedMovies.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using swf::ClipAction;
using swf::FixedStartClock;
using swf::MoviePlayback;
namespace clipevent = swf::clipevent;

constexpr uint32_t kOpaqueRed = 0xFFFF0000;
const char* const kHands[3] = {"hour", "minute", "second"};

// d = new Date(); h, m, s from it.
void ReadTime(ActionAssembler& a) {
  a.Push({"d", 0, "Date"}).Do(Op::NewObject).Do(Op::SetVariable);
  const char* parts[3][2] = {{"h", "getHours"}, {"m", "getMinutes"}, {"s", "getSeconds"}};
  for (auto& part : parts) {
    a.Push({part[0], 0});
    GetVar(a, "d").Push({part[1]}).Do(Op::CallMethod).Do(Op::SetVariable);
  }
}

// Pushes the angle of hand `i`: h*30 + m/2 + s/120, m*6 + s/10, s*6.
void PushAngle(ActionAssembler& a, int i) {
  if (i == 0) {
    GetVar(a, "h").Push({30}).Do(Op::Multiply);
    GetVar(a, "m").Push({2}).Do(Op::Divide).Do(Op::Add2);
    GetVar(a, "s").Push({120}).Do(Op::Divide).Do(Op::Add2);
  } else if (i == 1) {
    GetVar(a, "m").Push({6}).Do(Op::Multiply);
    GetVar(a, "s").Push({10}).Do(Op::Divide).Do(Op::Add2);
  } else {
    GetVar(a, "s").Push({6}).Do(Op::Multiply);
  }
}

// Three hands (sprites 10-12, each a bar pointing at 12 from its pivot) at
// the stage's centre; the second hand is red. With `inClipEvents` each hand
// turns itself in onClipEvent(enterFrame); else the root's onEnterFrame
// turns all three.
swf::MovieWriter ClockMovie(bool inClipEvents) {
  swf::MovieWriter movie = ScriptStage(6);
  swf::TagWriter& t = movie.Timeline();
  const swf::Rgba colours[3] = {{0, 0, 0}, {0, 0, 255}, {255, 0, 0}};
  const int32_t halfWidths[3] = {60, 40, 20}, lengths[3] = {1000, 1500, 1600};
  for (int i = 0; i < 3; ++i) {
    t.DefineShape(static_cast<uint16_t>(1 + i), SolidRect(colours[i], -halfWidths[i], -lengths[i], halfWidths[i], 0));
    swf::TagWriter hand;
    hand.Place(PlaceAt(1, static_cast<uint16_t>(1 + i)));
    hand.ShowFrame();
    t.DefineSprite(static_cast<uint16_t>(10 + i), hand);
  }
  for (int i = 0; i < 3; ++i) {
    swf::PlaceObject p = PlaceNamed(static_cast<uint16_t>(1 + i), static_cast<uint16_t>(10 + i), kHands[i], 5500, 4000);
    if (inClipEvents) {
      ActionAssembler turn;
      ReadTime(turn);
      turn.Push({"", 10});  // this clip's _rotation
      PushAngle(turn, i);
      turn.Do(Op::SetProperty);
      p.clipActions.push_back(OnClipEvent(clipevent::kEnterFrame, turn));
    }
    t.Place(p);
  }
  if (!inClipEvents) {
    ActionAssembler script;
    script.Push({"onEnterFrame"}).DefineFunction("", {});
    ReadTime(script);
    for (int i = 0; i < 3; ++i) {
      GetVar(script, kHands[i]).Push({"_rotation"});
      PushAngle(script, i);
      script.Do(Op::SetMember);
    }
    script.EndFunction().Do(Op::SetVariable);
    t.DoAction(script.Bytes());
  }
  t.ShowFrame();
  return movie;
}

double StartAt(const std::string& text) {
  double ms = 0;
  EXPECT_TRUE(swf::ParseLocalTime(text, ms)) << text;
  return ms;
}

// The hands' angles after the first frame (which sets the handler) and the
// second (whose enterFrame turns the hands, 1/12 s after the start).
std::vector<double> HandsAt(bool inClipEvents, const std::string& time) {
  FixedStartClock clock(StartAt(time));
  MoviePlayback p = LoadMovie(ClockMovie(inClipEvents));
  p.SetClock(&clock);
  p.Step();
  p.Step();
  std::vector<double> angles;
  for (const char* hand : kHands) angles.push_back(NumberOf(p, ChildObject(p, hand), "_rotation"));
  return angles;
}

TEST(ScriptClock, HandsFollowTheInjectedTimeFromEitherHandler) {
  for (bool inClipEvents : {false, true}) {
    SCOPED_TRACE(inClipEvents ? "onClipEvent(enterFrame)" : "onEnterFrame");
    // 12:15:30: the hour hand a quarter hour and half a minute past 12.
    std::vector<double> noon = HandsAt(inClipEvents, "2026-12-08T12:15:30");
    ASSERT_EQ(noon.size(), 3u);
    EXPECT_NEAR(noon[0], 7.75, 1e-9);
    EXPECT_NEAR(noon[1], 93, 1e-9);
    EXPECT_NEAR(noon[2], 180, 1e-9) << "_rotation reads back in -180..180";
    std::vector<double> three = HandsAt(inClipEvents, "2026-12-08T15:15:30");
    EXPECT_NEAR(three[0], 97.75, 1e-9);
    EXPECT_NEAR(three[1], 93, 1e-9);
    std::vector<double> late = HandsAt(inClipEvents, "2026-12-08T23:59:59");
    EXPECT_NEAR(late[2], -6, 1e-9);  // 354 degrees
  }
}

TEST(ScriptClock, TimeRunsWithTheFramesAndThePictureFollows) {
  FixedStartClock clock(StartAt("2026-12-08T12:15:30"));
  MoviePlayback p = LoadMovie(ClockMovie(false));
  p.SetClock(&clock);
  p.Step();
  p.Step();
  swf::Canvas half = DrawStage(p);
  EXPECT_EQ(half.Row(240)[275], kOpaqueRed) << "the second hand points down at half past";
  EXPECT_NE(half.Row(160)[275], kOpaqueRed);
  // 12 frames a second: 15 seconds on, the second hand points left.
  for (int i = 0; i < 15 * 12; ++i) p.Step();
  EXPECT_NEAR(NumberOf(p, ChildObject(p, "second"), "_rotation"), -90, 1e-9);
  swf::Canvas quarter = DrawStage(p);
  EXPECT_NE(quarter.pixels, half.pixels);
  EXPECT_EQ(quarter.Row(200)[235], kOpaqueRed);
  EXPECT_NE(quarter.Row(240)[275], kOpaqueRed);
}

TEST(ScriptClock, LocalTimeTextIsCheckedWhole) {
  double ms = 0;
  ASSERT_TRUE(swf::ParseLocalTime("1970-01-02T00:00:01", ms));
  EXPECT_EQ(ms, 86401000.0);
  for (const char* bad : {"", "2026-12-08", "2026-12-08T24:00:00", "2026-13-01T00:00:00", "2026-12-08T12:15:30Z",
                          "x2026-12-08T12:15:30"})
    EXPECT_FALSE(swf::ParseLocalTime(bad, ms)) << bad;
}

}  // namespace
}  // namespace velmora::test
