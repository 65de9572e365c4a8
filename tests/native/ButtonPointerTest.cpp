// The pointer over movies of our own making: its place in stage twips after
// the scale mode, the state a button shows under it and the actions of its
// transitions, and a release action that moves the movie to another frame.
#include "tests/native/ScriptedMovies.h"

#include "player/swf/TagCodes.h"

#include <gtest/gtest.h>

namespace velmora::swf {
namespace {

using test::ActionAssembler;
using test::PlaceAt;
using test::SolidRect;

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueGreen = 0xFF00FF00, kOpaqueBlue = 0xFF0000FF;

ButtonCondition Traces(uint16_t transition, const std::string& text) {
  ActionAssembler a;
  test::TraceText(a, text);
  return {transition, a.Bytes()};
}

// A 550 x 400 pixel stage; button 10 at (100, 100) pixels, 20 pixels square:
// red up, green over, blue down, the square its hit area; each transition
// traces its name. The release also goes to frame 2, which holds a green
// rectangle at the stage's corner.
MovieWriter ButtonMovie() {
  MovieWriter movie = test::ScriptStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  t.DefineShape(2, SolidRect({0, 255, 0}, 0, 0, 400, 400));
  t.DefineShape(3, SolidRect({0, 0, 255}, 0, 0, 400, 400));
  Button b;
  auto record = [](uint16_t id, bool up, bool over, bool down, bool hit) {
    ButtonRecord r;
    r.characterId = id;
    r.depth = id;
    r.up = up;
    r.over = over;
    r.down = down;
    r.hitTest = hit;
    return r;
  };
  b.records = {record(1, true, false, false, true), record(2, false, true, false, false),
               record(3, false, false, true, false)};
  ActionAssembler release;
  test::TraceText(release, "release");
  release.GotoFrame(1);
  b.conditions = {Traces(buttoncond::kIdleToOverUp, "rollOver"),
                  Traces(buttoncond::kOverUpToIdle, "rollOut"),
                  Traces(buttoncond::kOverUpToOverDown, "press"),
                  {buttoncond::kOverDownToOverUp, release.Bytes()},
                  Traces(buttoncond::kOverDownToOutDown, "dragOut"),
                  Traces(buttoncond::kOutDownToOverDown, "dragOver"),
                  Traces(buttoncond::kOutDownToIdle, "releaseOutside")};
  t.DefineButton2(10, b);
  t.DefineShape(4, SolidRect({0, 255, 0}, 0, 0, 200, 200));
  t.Place(PlaceAt(1, 10, 2000, 2000));
  ActionAssembler stop;
  stop.Do(avm1::Op::Stop);
  t.DoAction(stop.Bytes());
  t.ShowFrame();
  t.Place(PlaceAt(2, 4, 0, 0));
  t.ShowFrame();
  return movie;
}

struct Played {
  MoviePlayback playback;
  Canvas canvas;
  explicit Played(int width = 550, int height = 400, ScaleMode mode = ScaleMode::ExactFit)
      : playback(test::LoadMovie(ButtonMovie())) {
    playback.Step();
    canvas.Resize(width, height);
    playback.Draw(canvas, mode, false);
  }
  Clip& Button() { return *playback.Root()->MutableDisplayList().at(1).clip; }
  uint32_t PixelAfterFrame(int x, int y) {
    playback.Step();
    playback.Draw(canvas, ScaleMode::ExactFit, false);
    return canvas.pixels[static_cast<size_t>(y) * canvas.width + x];
  }
  std::string Traces() {
    std::string all;
    for (const std::string& line : playback.Scripts()->TraceLines()) all += line + " ";
    return all;
  }
};

TEST(ButtonPointer, PointerIsGivenInStageTwipsAfterTheScaleMode) {
  Played exact;
  exact.playback.PointerMoved(55, 40);
  EXPECT_DOUBLE_EQ(exact.playback.Scripts()->PointerX(), 1100);
  EXPECT_DOUBLE_EQ(exact.playback.Scripts()->PointerY(), 800);
  // Show all on a canvas twice as wide: the stage at twice its size,
  // centred across.
  Played wide(2200, 800, ScaleMode::ShowAll);
  wide.playback.PointerMoved(550 + 110, 80);
  EXPECT_DOUBLE_EQ(wide.playback.Scripts()->PointerX(), 1100);
  EXPECT_DOUBLE_EQ(wide.playback.Scripts()->PointerY(), 800);
  // The button at stage pixel (110, 110) is hit at its place on that canvas.
  wide.playback.PointerMoved(550 + 220, 220);
  EXPECT_EQ(wide.Button().ShownButtonState(), ButtonState::Over);
}

TEST(ButtonPointer, NothingReachesTheMovieBeforeItsFirstPicture) {
  MoviePlayback playback = test::LoadMovie(ButtonMovie());
  playback.Step();
  playback.PointerMoved(110, 110);
  playback.PointerButton(true, 110, 110);
  EXPECT_DOUBLE_EQ(playback.Scripts()->PointerX(), 0);
  EXPECT_TRUE(playback.Scripts()->TraceLines().empty());
}

TEST(ButtonPointer, StatesFollowThePointerAndTransitionsRunTheirActions) {
  Played p;
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Up);
  p.playback.PointerMoved(50, 50);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Up);
  p.playback.PointerMoved(110, 110);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Over);
  // A move is not drawn: the over state shows at the next frame.
  EXPECT_EQ(p.canvas.pixels[110 * 550 + 110], kOpaqueRed);
  EXPECT_EQ(p.PixelAfterFrame(110, 110), kOpaqueGreen);
  p.playback.PointerButton(true, 110, 110);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Down);
  EXPECT_EQ(p.PixelAfterFrame(110, 110), kOpaqueBlue);
  p.playback.PointerMoved(200, 200);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Up);
  p.playback.PointerMoved(115, 115);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Down);
  p.playback.PointerMoved(300, 300);
  p.playback.PointerButton(false, 300, 300);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Up);
  p.playback.PointerMoved(110, 110);
  p.playback.PointerMoved(300, 300);
  EXPECT_EQ(p.Traces(), "rollOver press dragOut dragOver dragOut releaseOutside rollOver rollOut ");
  EXPECT_EQ(p.playback.Root()->CurrentFrame(), 0u);
}

TEST(ButtonPointer, ReleaseOverTheButtonRunsItsActionAndTheMovieMoves) {
  Played p;
  EXPECT_EQ(p.PixelAfterFrame(5, 5), 0xFFFFFFFFu);
  // A press away from the button and a release over it do nothing.
  p.playback.PointerButton(true, 300, 300);
  p.playback.PointerMoved(110, 110);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Up);
  p.playback.PointerButton(false, 110, 110);
  EXPECT_EQ(p.Traces(), "rollOver ");
  p.playback.PointerButton(true, 110, 110);
  p.playback.PointerButton(false, 110, 110);
  EXPECT_EQ(p.Traces(), "rollOver press release ");
  EXPECT_EQ(p.playback.Root()->CurrentFrame(), 1u);
  EXPECT_EQ(p.Button().ShownButtonState(), ButtonState::Over);
  EXPECT_EQ(p.PixelAfterFrame(5, 5), kOpaqueGreen);
}

TEST(ButtonPointer, TopmostButtonIsHitAndHiddenOnesAreNot) {
  Played p;
  Clip& root = *p.playback.Root();
  EXPECT_EQ(ButtonAt(root, 2200, 2200), &p.Button());
  EXPECT_EQ(ButtonAt(root, 2000 + 401, 2200), nullptr);
  root.MutableDisplayList().at(1).visible = false;
  EXPECT_EQ(ButtonAt(root, 2200, 2200), nullptr);
}

}  // namespace
}  // namespace velmora::swf
